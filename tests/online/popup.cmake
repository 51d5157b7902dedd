# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# The update popup (widgets, offscreen).
if(LOADSPIRE_GUI)
    lsg_add_gtest(popup_tests LABEL online NO_MAIN
        SOURCES popup_tests.cpp
        LIBS lsg_newversion_ui lsg_test_qtmain lsg_serverhost)
endif()
