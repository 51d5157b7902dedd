#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The About box as a user opens it: from the tray menu, with its rain running, closed by Escape;
# and open while the program is ended from the tray menu.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_install_program
e2e_start_program
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null

read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" a
box=$(e2e_wait_window '^About Loadspire Gauge$' 10)

# The rain: bright green characters on the box's black surface around the panel, once the first
# drops have fallen that far.
read -r bx by < <(e2e_window_pos "$box")
rain_left_of_panel() {
    local green
    green=$(import -window root -crop "40x360+$((bx + 2))+$((by + 4))" txt:- |
        awk -F'[(),]' 'NR > 1 && $4 > 100 && $4 > $3 + 40 && $4 > $5 + 40 {n++} END {print n + 0}')
    [ "$green" -gt 0 ]
}
e2e_wait_until 10 rain_left_of_panel || e2e_fail "no rain to the left of the panel"
e2e_screenshot about

e2e_activate "$box"
xdotool key Escape
e2e_wait_gone '^About Loadspire Gauge$' 10
e2e_alive "$E2E_PID" || e2e_fail "the program ended with the About box"

# The box leaves the tray menu usable: Exit ends the program while it is open.
e2e_menu "$tx" "$ty" a
box=$(e2e_wait_window '^About Loadspire Gauge$' 10)
# Once the window manager has given it the focus, which would close a menu opened before.
e2e_wait_focus "$box"
e2e_exit_from_menu "$tx" "$ty" "$E2E_PID"
status=0
wait "$E2E_PID" || status=$?
[ "$status" = 0 ] || e2e_fail "the program ended with status $status"
echo "about e2e passed"
