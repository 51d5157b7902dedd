#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Two RandR monitors with panels, as Qt sees them on a real desktop: Qt reports two screens,
# each whole as available; openbox publishes one work area for the whole root, xfwm4 the whole
# root itself; the area the gadget may use on each monitor leaves out that monitor's panels,
# at the scales desktops offer, under either. A window over each area shows it on the screen
# (screenshots kept).
source "$(dirname "$0")/lib.sh"
e2e_setup notray randr=2
probe="$LSG_BINARY_DIR/tests/screens_probe"

monitors=$(xrandr --listmonitors | sed -n 's/^ *[0-9]*: *\([^ ]*\) .*+\([0-9]*\)+\([0-9]*\) .*/\1 \2 \3/p')
[ "$monitors" = $'+*DUMMY0 0 0\n+DUMMY1 1280 0' ] ||
    e2e_fail "the X server has these monitors, not two side by side:"$'\n'"$(xrandr --listmonitors)"

# A panel at the bottom of the right-hand monitor only, and a tray across the whole top edge
# (the older strut, which cannot say which part of the edge it takes).
e2e_panel bottom 1 30
e2e_panel top 0 32 --plain
[ "$(e2e_workarea)" = "0 32 2560 738" ] || e2e_fail "work area $(e2e_workarea), not 0 32 2560 738"

# check_scale SCALE SCREEN AREA0 AREA1: the probe at the desktop scale SCALE sees both screens
# as SCREEN ("W H" in its pixels), whole, and the areas AREA0 and AREA1 ("X,Y WxH").
check_scale() {
    local out
    e2e_scale "$1"
    out=$("$probe")
    grep -qx "screens 2 primary DUMMY0" <<<"$out" &&
        grep -qx "screen 0 DUMMY0 geometry 0,0 $2 available 0,0 $2 ratio $1" <<<"$out" &&
        grep -qx "screen 1 DUMMY1 geometry 1280,0 $2 available 1280,0 $2 ratio $1" <<<"$out" &&
        grep -qx "area 0 $3" <<<"$out" && grep -qx "area 1 $4" <<<"$out" ||
        e2e_fail "at scale $1 the probe printed:"$'\n'"$out"
}
check_scale 1 1280x800 "0,32 1280x768" "1280,32 1280x738"
check_scale 1.5 853x533 "0,22 853x511" "1280,22 853x491"
check_scale 2 640x400 "0,16 640x384" "1280,16 640x369"

# areas_painted: true once both areas' windows show their colours where they belong.
areas_painted() {
    [ "$(e2e_color_box '#FF00FF')" = "1280 768 0 32" ] &&
        [ "$(e2e_color_box '#00FFFF')" = "1280 738 1280 32" ]
}

# On the screen: each area's window ends where the panels begin, whole pixels of the window
# system at scales 1 and 2 alike.
for scale in 1 2; do
    e2e_scale "$scale"
    "$probe" --show >"$E2E_TMP/probe.log" 2>&1 &
    probe_pid=$!
    e2e_wait_grep "$E2E_TMP/probe.log" '^shown$' 60
    # Shown is not yet painted: the colours are looked for until they are there.
    e2e_wait_until 60 areas_painted || true
    [ "$(e2e_color_box '#FF00FF')" = "1280 768 0 32" ] ||
        e2e_fail "at scale $scale the left area shows at $(e2e_color_box '#FF00FF') (w h x y)"
    [ "$(e2e_color_box '#00FFFF')" = "1280 738 1280 32" ] ||
        e2e_fail "at scale $scale the right area shows at $(e2e_color_box '#00FFFF') (w h x y)"
    e2e_screenshot "workarea-two-monitors-scale$scale"
    kill "$probe_pid"
    wait "$probe_pid" 2>/dev/null || true
done

# xfwm4 takes over the panels and keeps the whole root as its work area: the panels' struts
# still give each monitor's area.
e2e_scale 1
e2e_switch_wm xfwm4
whole_root_workarea() {
    [ "$(e2e_workarea)" = "0 0 2560 800" ]
}
e2e_wait_until 60 whole_root_workarea || e2e_fail "xfwm4's work area is $(e2e_workarea)"
check_scale 1 1280x800 "0,32 1280x768" "1280,32 1280x738"
check_scale 2 640x400 "0,16 640x384" "1280,16 640x369"

# Without a window manager nobody publishes a work area: the toolkit's own areas stand.
e2e_scale 1
kill "$E2E_WM_PID"
no_window_manager() {
    ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
        "$probe" | grep -q '^window-manager no'
}
e2e_wait_until 60 no_window_manager || true
out=$("$probe")
grep -qx "window-manager no struts 0 workarea none" <<<"$out" &&
    grep -qx "area 0 0,0 1280x800" <<<"$out" && grep -qx "area 1 1280,0 1280x800" <<<"$out" ||
    e2e_fail "without a window manager the probe printed:"$'\n'"$out"
echo "PASS"
