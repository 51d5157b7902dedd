#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The program beside a Wayland compositor. With X there as well it runs on X and is placed where
# it was saved (a platform the user chose is kept). On Wayland alone it is dragged through the
# compositor, its menu and dialogs work, what Wayland cannot do is offered disabled with the
# reason (Stay On Top, transparency), it writes no place, and no size the compositor imposed;
# it prints no warnings.
source "$(dirname "$0")/lib.sh"
e2e_setup notray
e2e_install_program
gadget='KALDERN - Loadspire Gauge'

# --- X and Wayland both there: X wins, and the saved place shows.
e2e_weston lsg-headless --backend=headless-backend.so --use-pixman --width=1280 --height=800
headless_log="$E2E_TMP/lsg-headless.log"
printf '[Settings]\r\nLeft=100\r\nTop=150\r\n' >"$E2E_APP/settings.ini"
unset QT_QPA_PLATFORM
WAYLAND_DISPLAY=lsg-headless e2e_start_program
win=$(e2e_wait_window "^$gadget\$" 15)
e2e_wait_frame_at "$win" 100 150
read -r cx cy < <(e2e_window_pos "$win")
grep -q 'set_title("KALDERN' "$headless_log" && e2e_fail "the program also opened on Wayland"
read -r w h < <(e2e_window_size "$win")
e2e_menu $((cx + w / 2)) $((cy + h / 2)) x
e2e_wait_ended "$E2E_PID" "the program still runs after Exit on X"

# A platform the user chose is kept, even with X there.
QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=lsg-headless e2e_start_program
e2e_wait_grep "$headless_log" "set_title\\(\"$gadget\"\\)" 15
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null || true
kill "$E2E_WESTON_PID"
wait "$E2E_WESTON_PID" 2>/dev/null || true

# --- Wayland alone. Weston's headless backend has no seat, so input could not reach the
# program; its X11 backend, fullscreen on the test display, takes the pointer and keys that
# xdotool sends and hands them on as Wayland input.
# Its window fits inside the test display with the window manager's frame.
e2e_weston lsg-wayland --backend=x11-backend.so --use-pixman --width=1024 --height=700
log="$E2E_TMP/lsg-wayland.log"
# Weston names its window only through _NET_WM_NAME, which a name search does not read.
e2e_wait_until 10 xdotool search --onlyvisible --class '^Weston Compositor$' >/dev/null 2>&1 ||
    e2e_fail "weston's window did not show"
compositor=$(xdotool search --onlyvisible --class '^Weston Compositor$' | head -n1)
xdotool windowactivate --sync "$compositor"
# A colour of its own makes the gadget easy to find on the compositor's screen.
magenta='#FF00FF'
printf '[Settings]\r\nBackgroundColor=clFuchsia\r\nTransparency=204\r\n' >"$E2E_APP/settings.ini"
env -u DISPLAY WAYLAND_DISPLAY=lsg-wayland "$E2E_APP/loadspire" >"$E2E_TMP/program.log" 2>&1 &
E2E_PID=$!
e2e_wait_grep "$log" "set_title\\(\"$gadget\"\\)" 15

# gadget_box: the gadget's client area once it holds still on the screen, in w h x y.
gadget_box() {
    BOX=""
    e2e_wait_until 10 box_held || true
    [ -n "$BOX" ] || e2e_fail "the gadget is not on the Wayland screen"
    read -r w h x y <<<"$BOX"
}

# box_held: true when the gadget's box (BOX) is where the previous call saw it.
box_held() {
    local before="$BOX"
    BOX=$(e2e_color_box "$magenta")
    [ -n "$BOX" ] && [ "$BOX" = "$before" ]
}

# box_is BOX: true while the gadget's box is BOX ("w h x y").
box_is() {
    [ "$(e2e_color_box "$magenta")" = "$1" ]
}
gadget_box

# Dragged by its caption through the compositor's own move, toward the middle of the screen.
dx=$([ "$x" -lt 400 ] && echo 100 || echo -100)
dy=$([ "$y" -lt 300 ] && echo 80 || echo -80)
px=$((x + w / 2))
py=$((y + h - 8))
moves=$(grep -c -E 'xdg_toplevel@[0-9]+\.move\(' "$log" || true)
# Weston's X11 backend follows the X pointer by relative motion from where it last entered its
# window, and whether it saw the enter when its window was mapped under the pointer is a race:
# missed, its pointer stays in the corner and the press lands on its panel. Leaving its window
# and entering again places its pointer afresh; leaving takes the focus from the program, so
# coming back gives it a pointer enter, and the press waits for that.
program=$(grep -F "set_title(\"$gadget\")" "$log" | head -n1 | grep -o -E 'client 0x[0-9a-f]+')
enters=$(grep -c -E "$program ev wl_pointer@[0-9]+\.enter\(" "$log" || true)
read -r wx wy < <(e2e_window_pos "$compositor")
[ "$wx" -gt 0 ] && [ "$wy" -gt 0 ] || e2e_fail "weston's window leaves no room outside it at 0,0"
e2e_pointer 0 0
e2e_pointer "$px" "$py"
e2e_wait_grep "$log" "$program ev wl_pointer@[0-9]+\.enter\(" 10 $((enters + 1))
xdotool mousedown 1
e2e_wait_grep "$log" 'xdg_toplevel@[0-9]+\.move\(' 10 $((moves + 1))
for step in 1 2 3 4; do
    e2e_pointer $((px + dx * step / 4)) $((py + dy * step / 4))
    sleep 0.1
done
xdotool mouseup 1
moved="$w $h $((x + dx)) $((y + dy))"
e2e_wait_until 5 box_is "$moved" ||
    e2e_fail "after a drag by $dx,$dy the gadget is at ($(e2e_color_box "$magenta")), not ($moved)"
nx=$((x + dx))
ny=$((y + dy))
mx=$((nx + w / 2))
my=$((ny + h / 2))

# toplevel_of TITLE: the protocol object of the window last given TITLE, to await its end.
toplevel_of() {
    grep -F "set_title(\"$1\")" "$log" | tail -n1 | grep -o -E 'xdg_toplevel@[0-9]+'
}

# close_window TITLE KEY: presses KEY and waits until the window last given TITLE has gone.
close_window() {
    local window ends
    window=$(toplevel_of "$1")
    # Protocol object numbers are reused: count this one's ends so far.
    ends=$(grep -c -F "$window.destroy()" "$log" || true)
    xdotool key "$2"
    e2e_wait_grep "$log" "$window\\.destroy\\(\\)" 10 $((ends + 1))
}

# wayland_menu KEY...: opens the menu with a right click on the gadget and presses the keys.
wayland_menu() {
    local popups
    popups=$(grep -c -E '\.get_popup\(' "$log" || true)
    # No --sync: it waits for a motion, and from the second time on the pointer is there already.
    xdotool mousemove "$mx" "$my" click 3
    # Keys sent from here on reach the menu: it was shown before it asked for its surface.
    e2e_wait_grep "$log" '\.get_popup\(' 10 $((popups + 1))
    xdotool key "$@"
}

# keyboard_enters: how often the compositor has given the program's surfaces the keyboard.
keyboard_enters() {
    grep -c -E 'wl_keyboard@[0-9]+\.enter\(' "$log" || true
}

# "Show All Processors", the fourth item, is the third the keys reach: "Stay On Top" is disabled
# (Wayland has no way to keep a window above the others) and the keys pass it by.
wayland_menu Down Down Down Return
[ "$(e2e_wait_ini_value "$E2E_APP/settings.ini" ShowCores 1)" = 1 ] ||
    e2e_fail "Show All Processors from the menu did not take effect"
[ -z "$(e2e_ini_value "$E2E_APP/settings.ini" StayOnTop)" ] ||
    e2e_fail "the keys chose Stay On Top on Wayland"

# "Settings...": its slider is disabled (Wayland has no whole-window transparency), so the keys
# that would move it reach the next button instead; Escape closes the dialog after them.
enters=$(keyboard_enters)
wayland_menu Down Down Return
e2e_wait_grep "$log" 'set_title\("Loadspire Gauge Settings"\)' 10
e2e_wait_grep "$log" 'wl_keyboard@[0-9]+\.enter\(' 10 $((enters + 1))
xdotool key Tab Tab End
close_window 'Loadspire Gauge Settings' Escape
[ "$(e2e_ini_value "$E2E_APP/settings.ini" Transparency)" = 204 ] ||
    e2e_fail "the disabled slider stored $(e2e_ini_value "$E2E_APP/settings.ini" Transparency)"

# "&About...": the About box opens and its OK closes it.
enters=$(keyboard_enters)
wayland_menu a
e2e_wait_grep "$log" 'set_title\("About Loadspire Gauge"\)' 10
e2e_wait_grep "$log" 'wl_keyboard@[0-9]+\.enter\(' 10 $((enters + 1))
e2e_screenshot wayland-about
close_window 'About Loadspire Gauge' Return
e2e_screenshot wayland-gadget

# "E&xit" ends the program.
wayland_menu x
e2e_wait_ended "$E2E_PID" "the program still runs after Exit on Wayland"

# Wayland reports no places: none was written, neither at start-up nor by the drag.
for key in Left Top; do
    [ -z "$(e2e_ini_value "$E2E_APP/settings.ini" "$key")" ] ||
        e2e_fail "$key=$(e2e_ini_value "$E2E_APP/settings.ini" "$key") written on Wayland"
done
if [ -s "$E2E_TMP/program.log" ]; then
    cat "$E2E_TMP/program.log" >&2
    e2e_fail "the program printed warnings on Wayland"
fi
kill "$E2E_WESTON_PID"
wait "$E2E_WESTON_PID" 2>/dev/null || true

# --- A compositor that chooses the gadget's size (kiosk-shell fills its output with every
# window, as a tiling one gives it a tile): that size is the compositor's and is not saved.
e2e_weston lsg-kiosk --backend=headless-backend.so --use-pixman --width=1024 --height=700 \
    --shell=kiosk-shell.so
printf '[Settings]\r\nWidth=300\r\nHeight=200\r\n' >"$E2E_APP/settings.ini"
env -u DISPLAY WAYLAND_DISPLAY=lsg-kiosk "$E2E_APP/loadspire" >"$E2E_TMP/program.log" 2>&1 &
E2E_PID=$!
# Drawn at the compositor's size: the gadget has taken that size by then.
e2e_wait_grep "$E2E_TMP/lsg-kiosk.log" 'create_buffer\(new id wl_buffer@[0-9]+, 0, 1024, 700,' 15
kill "$E2E_PID"
wait "$E2E_PID" 2>/dev/null || true
[ "$(e2e_ini_value "$E2E_APP/settings.ini" Width) $(e2e_ini_value "$E2E_APP/settings.ini" Height)" = \
    "300 200" ] || e2e_fail "the compositor's size was saved: $(tr '\r\n' '  ' <"$E2E_APP/settings.ini")"
echo "wayland e2e passed"
