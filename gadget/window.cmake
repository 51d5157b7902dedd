# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
if(LOADSPIRE_GUI)
    add_library(lsg_gadget STATIC timeleft.h timeleft.cpp)
    target_include_directories(lsg_gadget PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(lsg_gadget PUBLIC lsg_chart lsg_appcore lsg_platform_gui Qt6::Widgets)
endif()
