# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# Feedback sent from the real tray menu to the local server.
if(LOADSPIRE_GUI)
    lsg_add_e2e(e2e_feedback feedback_e2e.sh)
    set_tests_properties(e2e_feedback PROPERTIES RESOURCE_LOCK localserver
        ENVIRONMENT "LSG_BINARY_DIR=${CMAKE_BINARY_DIR};LSG_SOURCE_DIR=${CMAKE_SOURCE_DIR};LOADSPIRE_TEST_SERVER_PORT=${LOADSPIRE_TEST_SERVER_PORT}")
endif()
