# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# --- The character rain: a GUI-free model of drops and the cells each tick changes -----------
add_library(lsg_rain STATIC rain.h rain.cpp)
target_include_directories(lsg_rain PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lsg_rain PUBLIC lsg_platform Qt6::Core)

# The licence text ships beside the program, where "License..." looks for it.
configure_file(license.txt ${CMAKE_BINARY_DIR}/license.txt COPYONLY)
# Its install rule sits with the program's in packaging/, which gives both one folder.

# --- The About box -----------------------------------------------------------------------------
if(LOADSPIRE_GUI)
    add_library(lsg_about_ui STATIC aboutbox.h aboutbox.cpp popupguard.h popupguard.cpp)
    target_link_libraries(lsg_about_ui PUBLIC lsg_rain lsg_appcore lsg_platform_gui lsg_resources
        Qt6::Widgets)

    # Opens the box on its own, to look at it; not installed.
    add_executable(aboutdemo aboutdemo.cpp)
    target_link_libraries(aboutdemo PRIVATE lsg_about_ui lsg_serverhost)
endif()
