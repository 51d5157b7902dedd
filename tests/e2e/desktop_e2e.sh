#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The gadget among the habits of a desktop, under openbox: a place at the screen's edge that
# openbox moves the gadget from when it maps it gives the same frame start after start and is
# never rewritten; the gadget is on every desktop; the tray brings it back from Show Desktop and
# from a desktop it was moved off, and keeps a stay-on-top the user asked for; a second start
# shows the running gadget and ends; the update check leaves no empty folder behind.
source "$(dirname "$0")/lib.sh"
e2e_setup notray
# A desktop's panel, and the tray in it, are on every desktop and stay through Show Desktop.
# Openbox keeps trayer's dock window on the desktop it started on; as an ordinary window trayer
# puts itself on every desktop (kept above the others, clear of the gadget), but Show Desktop
# hides it. The tests of other desktops have the ordinary one, those of Show Desktop the dock.
# start_tray dock|ordinary: starts trayer as that kind of window; its pid is in tray_pid.
start_tray() {
    trayer --edge top --align right --widthtype request --height 32 \
        --SetDockType "$([ "$1" = dock ] && echo true || echo false)" \
        >>"$E2E_TMP/trayer.log" 2>&1 &
    tray_pid=$!
    "$LSG_BINARY_DIR/tests/xselection_wait" 30 _NET_SYSTEM_TRAY_S0 ||
        e2e_fail "the tray host did not start"
}
start_tray ordinary
e2e_install_program
ini="$E2E_APP/settings.ini"
title='^KALDERN - Loadspire Gauge$'
log="$E2E_TMP/program.log"
all_desktops=4294967295

# 34 px of the frame on the screen at its right edge: openbox moves a window mapped with so little
# showing, and that move was once saved as the user's, a little further at each start.
printf '[Settings]\r\nLeft=1246\r\nTop=300\r\nStayOnTop=1\r\n' >"$ini"
saved=$(cat "$ini")

# start_placed: starts the program, waits until start-up has placed the gadget for good, and
# leaves its window in win and its frame's place in frame.
start_placed() {
    QT_LOGGING_RULES='lsg.gadget=true;lsg.online=true' e2e_start_program
    win=$(e2e_wait_window "$title" 30)
    e2e_wait_grep "$log" 'placed: the frame holds|keeps the gadget at' 60
    e2e_wait_still "$win" >/dev/null
    frame=$(e2e_frame_pos "$win")
    [ "$(cat "$ini")" = "$saved" ] ||
        e2e_fail "start-up rewrote the place: $(tr '\r\n' '  ' <"$ini")"$'\n'"$(e2e_window_report "$win")"
}

start_placed
first_frame=$frame
for run in 2 3; do
    kill "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
    e2e_wait_gone "$title" 10
    start_placed
    [ "$frame" = "$first_frame" ] || e2e_fail "start $run put the frame at $frame, start 1 at $first_frame"
done
e2e_screenshot desktop-edge-place

# On every desktop, from its first show.
root_value() {
    xprop -root "$1" 2>/dev/null | sed -n 's/^[^=]*= *//p'
}
desktop_of() {
    xprop -id "$1" _NET_WM_DESKTOP 2>/dev/null | sed -n 's/^[^=]*= *//p'
}
# on_desktop ID DESKTOP: true while the window is on that desktop and in sight.
on_desktop() {
    [ "$(desktop_of "$1")" = "$2" ] && e2e_viewable "$1"
}
# current_is N: true once the window manager has switched to desktop N.
current_is() {
    [ "$(root_value _NET_CURRENT_DESKTOP)" = "$1" ]
}
e2e_wait_until 30 on_desktop "$win" $all_desktops ||
    e2e_fail "not on every desktop: desktop $(desktop_of "$win")"
tray=$(xdotool search --onlyvisible --class trayer | head -n1)
wmctrl -i -r "$tray" -b add,above
e2e_wait_until 30 e2e_has_state "$tray" _NET_WM_STATE_ABOVE || e2e_fail "the tray host is not on top"
on_desktop "$tray" $all_desktops || e2e_fail "the tray host is not on every desktop"
read -r tx ty < <(e2e_tray_icon_pos)
wmctrl -s 1
e2e_wait_until 30 current_is 1 || e2e_fail "openbox did not switch to desktop 1"
e2e_viewable "$win" || e2e_fail "out of sight on desktop 1"

# Closed to the tray and shown again on desktop 1: again on every desktop (the window manager
# forgets it when the window is hidden). Closed, the window is made anew when it shows.
e2e_activate "$win"
xdotool key --clearmodifiers alt+F4
e2e_wait_gone "$title" 10
e2e_menu "$tx" "$ty" f
win=$(e2e_wait_window "$title" 30)
e2e_wait_until 30 on_desktop "$win" $all_desktops ||
    e2e_fail "after Show Form: desktop $(desktop_of "$win"), $(xwininfo -id "$win" | grep 'Map State')"
wmctrl -s 2
e2e_wait_until 30 current_is 2 || e2e_fail "openbox did not switch to desktop 2"
e2e_viewable "$win" || e2e_fail "out of sight on desktop 2 after Show Form"

# Sent to desktop 0 by the user and looked for on desktop 2: a click on the tray icon brings it
# here, focused, and keeps its stay-on-top.
e2e_wait_until 30 e2e_has_state "$win" _NET_WM_STATE_ABOVE || e2e_fail "not on top after start"
wmctrl -i -r "$win" -t 0
e2e_wait_until 30 e2e_not_viewable "$win" || e2e_fail "still in sight on desktop 2 after moving to 0"
e2e_click "$tx" "$ty" 1
e2e_wait_until 30 on_desktop "$win" 2 || e2e_fail "not brought to desktop 2: desktop $(desktop_of "$win")"
e2e_wait_focus "$win" 30
e2e_has_state "$win" _NET_WM_STATE_ABOVE ||
    e2e_fail "the tray click dropped the stay-on-top: $(xprop -id "$win" _NET_WM_STATE)"

# Show Desktop hides it; a click on the tray icon leaves Show Desktop and brings it back. The icon
# docks again in the new tray host.
kill "$tray_pid"
wait "$tray_pid" 2>/dev/null || true
start_tray dock
read -r tx ty < <(e2e_tray_icon_pos)
showing_is() {
    [ "$(root_value _NET_SHOWING_DESKTOP)" = "$1" ]
}
wmctrl -k on
e2e_wait_until 30 e2e_not_viewable "$win" || e2e_fail "Show Desktop left the gadget in sight"
e2e_click "$tx" "$ty" 1
e2e_wait_until 30 e2e_viewable "$win" || e2e_fail "the tray click did not bring it out of Show Desktop"
showing_is 0 || e2e_fail "still showing the desktop: $(root_value _NET_SHOWING_DESKTOP)"

# A second start, with the gadget closed and the desktop shown: it shows the running gadget, as
# Show Form does, and ends at once, successfully. One gadget, one tray icon.
e2e_activate "$win"
xdotool key --clearmodifiers alt+F4
e2e_wait_gone "$title" 10
wmctrl -k on
e2e_wait_until 30 showing_is 1 || e2e_fail "Show Desktop did not start"
status=0
timeout 60 "$E2E_APP/loadspire" >"$E2E_TMP/second.log" 2>&1 || status=$?
[ "$status" = 0 ] || e2e_fail "the second start ended with $status: $(cat "$E2E_TMP/second.log")"
win=$(e2e_wait_window "$title" 30)
e2e_wait_until 30 e2e_viewable "$win" || e2e_fail "the second start did not show the gadget"
showing_is 0 || e2e_fail "still showing the desktop after the second start"
[ "$(xdotool search --onlyvisible --name "$title" | wc -l)" = 1 ] ||
    e2e_fail "more than one gadget: $(xdotool search --onlyvisible --name "$title" | paste -sd ' ')"
[ "$(pgrep -c -f -x "$E2E_APP/loadspire")" = 1 ] || e2e_fail "more than one copy runs"
e2e_alive "$E2E_PID" || e2e_fail "the first copy ended"
e2e_screenshot desktop-second-start

# The update check has ended (its server's name never resolves here): nothing of it is left in
# the config folder, not even an empty folder.
e2e_wait_grep "$log" 'update check failed' 60
empty=$(find "$XDG_CONFIG_HOME" -mindepth 1 -type d -empty)
[ -z "$empty" ] || e2e_fail "empty folders left in the config folder: $empty"

e2e_exit_from_menu "$tx" "$ty" "$E2E_PID"
echo "PASS"
