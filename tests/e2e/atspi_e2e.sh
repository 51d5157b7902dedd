#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The screen-reader side of the test library: on a private session and accessibility bus,
# atspi_tree.py reads a Qt program's accessible tree as a screen reader does, a label's text and
# a slider's name (its buddy label's) and value, and follows the value as the user changes it.
source "$(dirname "$0")/lib.sh"
e2e_setup notray
e2e_accessibility
tree() {
    /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$@" lsg-atspi-probe
}

"$LSG_BINARY_DIR/tests/atspi_probe" >"$E2E_TMP/probe.log" 2>&1 &
win=$(e2e_wait_window '^lsg-atspi-probe$' 60)
tree >"$E2E_TMP/tree.txt" || e2e_fail "no accessible tree of the probe"
grep -qE '^ +label name="Average CPU Usage: 37% \(8 processors\)"' "$E2E_TMP/tree.txt" &&
    grep -qE '^ +slider name="Transparency:" value=3$' "$E2E_TMP/tree.txt" ||
    e2e_fail "the tree lacks the label or the slider:"$'\n'"$(cat "$E2E_TMP/tree.txt")"

# The buddy's access key puts the focus on the slider, an arrow moves it one step.
e2e_activate "$win"
xdotool key alt+t Right
slider_at_4() {
    tree --wait 5 | grep -qE '^ +slider name="Transparency:" value=4$'
}
e2e_wait_until 60 slider_at_4 ||
    e2e_fail "the slider's new value was not read:"$'\n'"$(tree --wait 5)"
echo "PASS"
