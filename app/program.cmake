# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# --- The program: main form, tray, menu, start-up (GUI) ---------------------------------------
if(LOADSPIRE_GUI)
endif()
