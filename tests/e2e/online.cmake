# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
if(LOADSPIRE_GUI)
    # The update check against the local server, its popup and the link to the browser. The
    # server listens on the port the local-server build of the program is linked with.
    lsg_add_e2e(e2e_update update_e2e.sh)
    set_tests_properties(e2e_update PROPERTIES RESOURCE_LOCK "e2e;localserver"
        ENVIRONMENT "LSG_BINARY_DIR=${CMAKE_BINARY_DIR};LSG_SOURCE_DIR=${CMAKE_SOURCE_DIR};LOADSPIRE_TEST_SERVER_PORT=${LOADSPIRE_TEST_SERVER_PORT}")

    # Feedback sent from the real tray menu to the local server.
    lsg_add_e2e(e2e_feedback feedback_e2e.sh)
    set_tests_properties(e2e_feedback PROPERTIES RESOURCE_LOCK "e2e;localserver"
        ENVIRONMENT "LSG_BINARY_DIR=${CMAKE_BINARY_DIR};LSG_SOURCE_DIR=${CMAKE_SOURCE_DIR};LOADSPIRE_TEST_SERVER_PORT=${LOADSPIRE_TEST_SERVER_PORT}")

    # A German session: German menus and dialogs, English texts on the wire.
    lsg_add_e2e(e2e_i18n i18n_e2e.sh)
    set_tests_properties(e2e_i18n PROPERTIES RESOURCE_LOCK "e2e;localserver"
        ENVIRONMENT "LSG_BINARY_DIR=${CMAKE_BINARY_DIR};LSG_SOURCE_DIR=${CMAKE_SOURCE_DIR};LOADSPIRE_TEST_SERVER_PORT=${LOADSPIRE_TEST_SERVER_PORT}")
endif()
