# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# The e-mail check, the request and reply rules and the send; no display needed.
lsg_add_gtest(feedback_logic_tests LABEL online
    SOURCES feedback_logic_test.cpp
    LIBS lsg_feedback lsg_net lsg_serverhost lsg_testserver Threads::Threads)

if(LOADSPIRE_GUI)
    lsg_add_gtest(feedback_form_tests LABEL online NO_MAIN
        SOURCES feedback_form_test.cpp
        LIBS lsg_feedback_ui lsg_feedback lsg_serverhost lsg_testserver lsg_test_qtmain)
endif()
