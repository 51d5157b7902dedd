#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The program as a screen reader reads it over AT-SPI: the gadget as a window named by its
# title, its caption's text, each chart by its name with the newest percentage as its value, and
# in the settings window the transparency slider named by its label, its value the percentage
# the gadget lets through.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_accessibility
e2e_install_program
printf '[Settings]\r\nTransparency=178\r\nShowCores=1\r\n' >"$E2E_APP/settings.ini"
e2e_start_program
win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 30)

# tree_has PATTERN...: true once the program's accessible tree has a line for each extended
# regular expression; the tree is left in tree.txt.
tree_has() {
    local p
    /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" --wait 5 "Loadspire Gauge" \
        >"$E2E_TMP/tree.txt" 2>&1 || return 1
    for p in "$@"; do
        grep -qE -e "$p" "$E2E_TMP/tree.txt" || return 1
    done
}

processors=$(grep -c "^cpu[0-9]" /proc/stat)
caption="^ +label name=\"(Average )?CPU Usage: [0-9]+% \\($processors processors?\\)\"\$"
e2e_wait_until 60 tree_has '^  frame name="KALDERN - Loadspire Gauge"$' "$caption" \
    '^ +chart name="Total CPU usage" value=[0-9]+$' '^ +chart name="CPU 1 usage" value=[0-9]+$' ||
    e2e_fail "the gadget is not read as it should be:"$'\n'"$(cat "$E2E_TMP/tree.txt")"

# Transparency 178 is the fourth step: 30 % of the gadget shows through.
read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" Down Down Return
e2e_wait_window '^Loadspire Gauge Settings$' 10 >/dev/null
e2e_wait_until 60 tree_has '^  dialog name="Loadspire Gauge Settings"$' \
    '^ +slider name="Transparency:" value=30 description="[^"]+"$' ||
    e2e_fail "the settings window is not read as it should be:"$'\n'"$(cat "$E2E_TMP/tree.txt")"
e2e_exit_from_menu "$tx" "$ty" "$E2E_PID"
echo "PASS"
