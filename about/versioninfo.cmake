# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# Reader of executables' version information (GUI-free).
add_library(lsg_versioninfo STATIC
    versioninfo.h versioninfo.cpp
    versioninfo_block.h versioninfo_block.cpp
    versioninfo_locate.h versioninfo_locate.cpp)
target_include_directories(lsg_versioninfo PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lsg_versioninfo PUBLIC lsg_platform Qt6::Core)
# The reader looks for the section the build embeds the block in; both sides use one name.
target_compile_definitions(lsg_versioninfo PUBLIC LSG_VERSION_SECTION="${LSG_VERSION_SECTION}")
