# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# --- GUI-free core: process-wide values, settings file, sampling tick -------------------------
add_library(lsg_appcore STATIC globals.h chartseries.h
    inifile.h inifile.cpp
    atomicsave.h
    settingsformat.h settingsformat.cpp
    settingskeys.h settingskeys.cpp
    samplingtick.h samplingtick.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_sources(lsg_appcore PRIVATE atomicsave_linux.cpp)
endif()
target_include_directories(lsg_appcore PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lsg_appcore PUBLIC lsg_platform lsg_cpu Qt6::Core)

# The maker's server host, fixed at build time; the whole-program tests link a variant that
# points at their local server.
add_library(lsg_serverhost STATIC serverhost.cpp)
target_link_libraries(lsg_serverhost PUBLIC lsg_appcore)
target_compile_definitions(lsg_serverhost PRIVATE LOADSPIRE_SERVER_HOST="${LOADSPIRE_SERVER_HOST}")
add_library(lsg_serverhost_local STATIC serverhost.cpp)
target_link_libraries(lsg_serverhost_local PUBLIC lsg_appcore)
target_compile_definitions(lsg_serverhost_local PRIVATE
    LOADSPIRE_SERVER_HOST="127.0.0.1:${LOADSPIRE_TEST_SERVER_PORT}")
