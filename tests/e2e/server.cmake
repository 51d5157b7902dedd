# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
if(LOADSPIRE_GUI)
    # The program against the maker's own server on the port the local-server build talks to.
    lsg_add_e2e(e2e_server server_e2e.sh)
    set_tests_properties(e2e_server PROPERTIES RESOURCE_LOCK "e2e;localserver"
        ENVIRONMENT "LSG_BINARY_DIR=${CMAKE_BINARY_DIR};LSG_SOURCE_DIR=${CMAKE_SOURCE_DIR};LOADSPIRE_TEST_SERVER_PORT=${LOADSPIRE_TEST_SERVER_PORT}")
endif()
