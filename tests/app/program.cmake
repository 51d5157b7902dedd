# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
if(LOADSPIRE_GUI)
    # The test binary carries the program's version information, so it can stand in for it.
    lsg_add_gtest(program_tests LABEL app NO_MAIN SOURCES program_test.cpp
        LIBS lsg_mainform lsg_serverhost lsg_version_resource lsg_test_qtmain)
endif()
