# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# The "UPDATE AVAILABLE" popup (module newversion). ServerHost() comes from whichever of
# lsg_serverhost / lsg_serverhost_local the final executable links.
if(LOADSPIRE_GUI)
    add_library(lsg_newversion_ui STATIC newversion.h newversion.cpp)
    target_include_directories(lsg_newversion_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(lsg_newversion_ui PUBLIC lsg_appcore lsg_platform_gui lsg_resources
        Qt6::Widgets)
endif()
