# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

lsg_add_gtest(rain_tests LABEL about SOURCES rain_tests.cpp LIBS lsg_rain)

if(LOADSPIRE_GUI)
    lsg_add_gtest(aboutbox_tests LABEL about NO_MAIN SOURCES about_box_tests.cpp
        LIBS lsg_about_ui lsg_test_qtmain lsg_serverhost)
endif()
