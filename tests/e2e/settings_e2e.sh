#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The settings window as a user meets it: opened from the tray menu, the transparency slider
# moved with the keyboard, then "Reset to Defaults..." answered with Yes, which hands over to a
# fresh copy of the program running with the default look and place.
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_install_program
ini="$E2E_APP/settings.ini"
printf '[Settings]\r\nLeft=100\r\nTop=150\r\nTransparency=255\r\nShowCores=1\r\n' >"$ini"
e2e_start_program
old_pid=$E2E_PID

gadget=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)

# "Settings..." is the second item of the tray menu. Its window says whose settings it holds, in
# its title and with the program's icon, as the gadget has.
read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" Down Down Return
dialog=$(e2e_wait_window '^Loadspire Gauge Settings$' 10)
icon_sizes() {
    xprop -id "$1" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | paste -sd ' '
}
[ "$(icon_sizes "$dialog")" = "$(icon_sizes "$gadget")" ] &&
    icon_sizes "$dialog" | grep -q 'Icon (16 x 16).*Icon (128 x 128)' ||
    e2e_fail "the settings window's icon ($(icon_sizes "$dialog")) is not the program's" \
        "($(icon_sizes "$gadget"))"
e2e_activate "$dialog"
read -r w h < <(e2e_window_size "$dialog")
[ "$w" = 282 ] && [ "$h" = 184 ] || e2e_fail "settings window is ${w}x$h"
# Centred on the 1280x800 screen (the frame may shift it by a few pixels).
read -r dx dy < <(e2e_wait_still "$dialog")
[ $((dx - 499)) -ge -10 ] && [ $((dx - 499)) -le 10 ] || e2e_fail "settings window at x $dx"
[ $((dy - 308)) -ge -30 ] && [ $((dy - 308)) -le 30 ] || e2e_fail "settings window at y $dy"
e2e_screenshot settings-dialog
import -window "$dialog" "$LSG_BINARY_DIR/screenshots/settings-dialog-window.png"

# "Edit Font..." has the focus first; its dialog offers a colour too. Escape cancels it and
# nothing is written.
e2e_activate "$dialog"
before=$(cat "$ini")
xdotool key --clearmodifiers space
fonts=$(e2e_wait_window '^Font$' 10)
e2e_wait_focus "$fonts"
import -window "$fonts" "$LSG_BINARY_DIR/screenshots/settings-font-dialog.png"
xdotool key --clearmodifiers Escape
e2e_wait_gone '^Font$' 10
[ "$(cat "$ini")" = "$before" ] || e2e_fail "cancelling the font dialog wrote: $(cat "$ini")"

# Tab reaches the slider after the two colour buttons; three steps right give 178/255.
e2e_activate "$dialog"
xdotool key --clearmodifiers Tab Tab Right Right Right
value=$(e2e_wait_ini_value "$ini" Transparency 178)
[ "$value" = 178 ] || e2e_fail "Transparency=$value after three steps"
opacity=$(xprop -id "$gadget" _NET_WM_WINDOW_OPACITY | awk '{print $NF}')
# 178/255 of the full 32-bit scale, give or take the last unit of rounding.
[ "$opacity" -ge 2998055601 ] && [ "$opacity" -le 2998055602 ] || e2e_fail "gadget opacity $opacity"

# One more Tab to "Reset to Defaults...", press it and answer Yes with Return.
xdotool key --clearmodifiers Tab space
question=$(e2e_wait_window '^Loadspire Gauge$' 10)
e2e_activate "$question"
e2e_screenshot settings-restart-question
xdotool key --clearmodifiers Return

e2e_wait_ended "$old_pid" "the old copy still runs after the reset"
[ -e "$ini" ] && e2e_fail "settings.ini is still there: $(cat "$ini")"

# The fresh copy was started by the old one; it is found by its executable's path.
e2e_wait_until 5 pgrep -f -x "$E2E_APP/loadspire" >/dev/null || e2e_fail "no fresh copy runs after the reset"
new_pid=$(pgrep -f -x "$E2E_APP/loadspire" | head -n1)
E2E_EXTRA_PIDS="$new_pid"
[ "$new_pid" != "$old_pid" ] || e2e_fail "the fresh copy has the old pid"

gadget=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)
# Defaults: opaque, no strips asked for, placed at the bottom right of the screen.
opacity=$(xprop -id "$gadget" _NET_WM_WINDOW_OPACITY | awk '{print $NF}')
case "$opacity" in
    4294967295 | found.) ;;
    *) e2e_fail "fresh copy opacity $opacity" ;;
esac
e2e_wait_default_place "$gadget"
read -r gx gy < <(e2e_window_pos "$gadget")
read -r gw gh < <(e2e_window_size "$gadget")
[ -e "$ini" ] && e2e_fail "the fresh copy wrote settings at start: $(cat "$ini")"
e2e_screenshot settings-after-reset

# The fresh copy ends from its own menu, opened on the gadget (the tray host may still be busy
# with the icon the old copy took away).
e2e_menu $((gx + gw / 2)) $((gy + gh / 2)) x
e2e_wait_ended "$new_pid" "the fresh copy still runs after Exit"
E2E_EXTRA_PIDS=""
echo "settings e2e passed"
