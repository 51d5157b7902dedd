# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
if(LOADSPIRE_GUI)
    lsg_add_gtest(gadget_window_tests LABEL gadget NO_MAIN SOURCES window_test.cpp
        LIBS lsg_gadget lsg_serverhost lsg_test_qtmain)
endif()
