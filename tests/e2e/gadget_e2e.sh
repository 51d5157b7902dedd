#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The program as a user meets it: placed from its settings, translucent, on top (and back on top
# when another program clears it), dragged by its caption, closed to the tray and shown again
# off the taskbar, minimised and brought back, and ended from the tray menu.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_install_program
printf '[Settings]\r\nLeft=100\r\nTop=150\r\nTransparency=204\r\nStayOnTop=1\r\nShowCores=1\r\n' \
    >"$E2E_APP/settings.ini"
e2e_start_program

win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)
# Left/Top place the window's frame, which a busy window manager may take a while to build.
e2e_wait_frame_at "$win" 100 150
read -r cx cy < <(e2e_window_pos "$win")

# 204/255 of full opacity.
frame=$(xprop -id "$win" _NET_WM_WINDOW_OPACITY 2>/dev/null || true)
opacity=$(xprop -id "$win" _NET_WM_WINDOW_OPACITY | awk '{print $NF}')
[ "$opacity" = 3435973836 ] || e2e_fail "opacity $opacity ($frame)"

# Stay-on-top is asserted by its timer within about three seconds of start-up.
e2e_wait_until 5 e2e_has_state "$win" _NET_WM_STATE_ABOVE || e2e_fail "not above"
e2e_screenshot gadget-strips

# Another program clears the above state: the next stay-on-top tick, at most 3 s away, asks
# for it again.
wmctrl -i -r "$win" -b remove,above
e2e_wait_until 5 e2e_lacks_state "$win" _NET_WM_STATE_ABOVE || e2e_fail "the above state stays"
# The timer's 3 s, and room for a loaded machine's late tick.
e2e_wait_until 5 e2e_has_state "$win" _NET_WM_STATE_ABOVE ||
    e2e_fail "not above again 5 s after another program cleared it"

# Nothing of the start-up placement was written.
[ -z "$(e2e_ini_value "$E2E_APP/settings.ini" Height)" ] || e2e_fail "start-up wrote Height"

# Drag by the caption label: 30 right, 10 down.
read -r w h < <(e2e_window_size "$win")
lx=$((cx + w / 2))
ly=$((cy + h - 8))
e2e_pointer "$lx" "$ly"
xdotool mousedown 1
for step in 1 2 3; do
    e2e_pointer $((lx + step * 10)) $((ly + step * 10 / 3))
    sleep 0.1
done
e2e_pointer $((lx + 30)) $((ly + 10))
sleep 0.2
xdotool mouseup 1
left=$(e2e_wait_ini_value "$E2E_APP/settings.ini" Left 130)
top=$(e2e_wait_ini_value "$E2E_APP/settings.ini" Top 160)
[ "$left" = 130 ] || e2e_fail "Left=$left after the drag"
[ "$top" = 160 ] || e2e_fail "Top=$top after the drag"
read -r nx ny < <(e2e_window_pos "$win")
[ $((nx - cx)) = 30 ] && [ $((ny - cy)) = 10 ] || e2e_fail "moved by $((nx - cx)),$((ny - cy))"

# Closing hides the gadget; the program and its tray icon stay.
e2e_activate "$win"
xdotool key --clearmodifiers alt+F4
e2e_wait_gone '^KALDERN - Loadspire Gauge$' 10
e2e_alive "$E2E_PID" || e2e_fail "closing the gadget ended the program"
read -r tx ty < <(e2e_tray_icon_pos)

# "Show Form" brings it back, still off the taskbar (the window manager forgot the state when
# the window was hidden).
e2e_menu "$tx" "$ty" f
win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 10)
e2e_wait_until 5 e2e_has_state "$win" _NET_WM_STATE_SKIP_TASKBAR ||
    e2e_fail "on the taskbar after Show Form: $(xprop -id "$win" _NET_WM_STATE)"

# A minimised gadget has no taskbar entry to restore it from: "Show Form" and a click on the
# tray icon both bring it back, also when asked at once after the minimise.
minimise() {
    xdotool windowminimize "$1"
    e2e_wait_until 10 e2e_not_viewable "$1" || e2e_fail "the gadget did not minimise"
}
wait_restored() {
    e2e_wait_until 10 e2e_viewable "$1" || e2e_fail "the gadget stayed minimised after $2"
}
minimise "$win"
e2e_menu "$tx" "$ty" f
wait_restored "$win" "Show Form"
minimise "$win"
e2e_click "$tx" "$ty" 1
wait_restored "$win" "a click on the tray icon"

# The tray menu's "E&xit" ends the program.
e2e_menu "$tx" "$ty" x
e2e_wait_ended "$E2E_PID" "the program still runs after Exit"
echo "gadget e2e passed"
