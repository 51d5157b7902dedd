# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# --- Feedback: e-mail check, request and reply rules, the send with its fallback (GUI-free) ---
add_library(lsg_feedback STATIC feedback.h feedback.cpp emailcheck.h emailcheck.cpp)
target_include_directories(lsg_feedback PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lsg_feedback PUBLIC lsg_net lsg_appcore Qt6::Core PRIVATE PkgConfig::PCRE2)

# --- The feedback dialog ---------------------------------------------------------------------
if(LOADSPIRE_GUI)
    add_library(lsg_feedback_ui STATIC feedbackform.h feedbackform.cpp)
    target_link_libraries(lsg_feedback_ui PUBLIC lsg_feedback lsg_platform_gui lsg_resources
        Qt6::Widgets)
endif()
