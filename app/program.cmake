# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# --- The program: main form, tray, menu, start-up (GUI) ---------------------------------------
if(LOADSPIRE_GUI)
    add_library(lsg_mainform STATIC mainform.h mainform.cpp)
    target_include_directories(lsg_mainform PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(lsg_mainform PUBLIC lsg_gadget lsg_settings_ui lsg_about_ui lsg_check
        lsg_newversion_ui lsg_feedback_ui lsg_appcore lsg_versioninfo lsg_resources
        lsg_platform_gui Qt6::Widgets)

    # lsg_program(name SERVERHOST lib): the program, linked with one server-host variant.
    function(lsg_program name serverhost)
        add_executable(${name} main.cpp)
        target_link_libraries(${name} PRIVATE lsg_mainform ${serverhost} lsg_version_resource)
    endfunction()
    lsg_program(loadspire lsg_serverhost)
    # The same program talking to the local server of the whole-program tests.
    lsg_program(loadspire-localserver lsg_serverhost_local)
endif()
