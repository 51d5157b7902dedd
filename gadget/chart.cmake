# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# Geometry and grid spacing of the charts: pure functions, no display needed.
add_library(lsg_chartgeom STATIC chartgeom.h chartgeom.cpp)
target_include_directories(lsg_chartgeom PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lsg_chartgeom PUBLIC Qt6::Core)

if(LOADSPIRE_GUI)
    # The chart widget.
    add_library(lsg_chart STATIC chartview.h chartview.cpp)
    target_link_libraries(lsg_chart PUBLIC lsg_chartgeom lsg_appcore lsg_platform_gui Qt6::Widgets)
endif()
