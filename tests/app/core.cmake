# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# GUI-free core: settings file, its texts and keys, and the sampling tick.
lsg_add_gtest(appcore_tests LABEL app
    SOURCES core_settingsformat_test.cpp core_inifile_test.cpp core_settingskeys_test.cpp
        core_samplingtick_test.cpp
    LIBS lsg_appcore lsg_serverhost)
target_compile_definitions(appcore_tests PRIVATE
    LSG_SETTINGS_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures/settings")
