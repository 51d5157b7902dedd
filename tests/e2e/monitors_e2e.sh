#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Two monitors side by side: a place on the right-hand monitor is kept, a place on a monitor since
# unplugged falls back to the bottom-right corner of the primary one, and the left edge (Left=0)
# is a place of its own. Start-up writes none of them back.
source "$(dirname "$0")/lib.sh"

e2e_setup screens=2
e2e_install_program
ini="$E2E_APP/settings.ini"
title='^KALDERN - Loadspire Gauge$'

# wait_place ID XMIN XMAX YMIN YMAX: waits until the client area's corner lies in the box
# (the frame's decorations put it a few pixels right of and below the saved frame corner).
wait_place() {
    local x y
    if ! e2e_wait_until 15 in_box "$@"; then
        read -r x y < <(e2e_window_pos "$1")
        e2e_fail "window at $x,$y, not within $2..$3,$4..$5"
    fi
    e2e_window_pos "$1"
}

# in_box ID XMIN XMAX YMIN YMAX: true while the client area's corner lies in the box.
in_box() {
    local x y
    read -r x y < <(e2e_window_pos "$1")
    [ "$x" -ge "$2" ] && [ "$x" -le "$3" ] && [ "$y" -ge "$4" ] && [ "$y" -le "$5" ]
}

# run_with LINES: starts the program on a settings file of these lines; leaves its window in win.
run_with() {
    printf '[Settings]\r\n%b' "$1" >"$ini"
    e2e_start_program
    win=$(e2e_wait_window "$title" 15)
}

stop_program() {
    kill "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
    e2e_wait_gone "$title" 10
}

# The right-hand monitor.
run_with 'Left=1500\r\nTop=200\r\n'
read -r x y < <(wait_place "$win" 1500 1510 200 240)
e2e_screenshot monitors-right-hand
[ "$(e2e_ini_value "$ini" Left)" = 1500 ] && [ "$(e2e_ini_value "$ini" Top)" = 200 ] ||
    e2e_fail "start-up rewrote the place: $(tr '\r\n' '  ' <"$ini")"
stop_program

# A monitor since unplugged: the default place, the whole frame in the bottom-right corner of the
# primary screen. Qt 6.4 takes its screens from RandR only and the nested server offers none for
# the Xinerama heads, so the primary screen Qt sees may be the whole desktop.
run_with 'Left=-3000\r\nTop=-3000\r\n'
read -r w h < <(e2e_window_size "$win")
# in_corner: true while the gadget's bottom-right lies within 20 px of the bottom-right corner of
# the first monitor or of the whole desktop.
in_corner() {
    local x y right
    read -r x y < <(e2e_window_pos "$win")
    right=$((x + w))
    { { [ "$right" -gt 1260 ] && [ "$right" -le 1280 ]; } ||
        { [ "$right" -gt 2540 ] && [ "$right" -le 2560 ]; }; } &&
        [ $((y + h)) -gt 760 ] && [ $((y + h)) -le 800 ]
}
if ! e2e_wait_until 15 in_corner; then
    read -r x y < <(e2e_window_pos "$win")
    e2e_fail "gadget at $x,$y ${w}x$h after a gone monitor"
fi
e2e_screenshot monitors-gone
stop_program

# The left and top edges are places too.
run_with 'Left=0\r\nTop=0\r\n'
read -r x y < <(wait_place "$win" 0 10 0 40)
stop_program
echo "PASS"
