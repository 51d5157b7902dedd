#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Two RandR monitors with a panel along the bottom of the primary one, where Qt reports each
# monitor whole as free: the gadget's default place and a saved place that reaches under the
# panel both keep the caption above the panel, while a place past the bottom of the other
# monitor, which has no panel, stays as saved. At scales 1 and 2; start-up writes nothing.
source "$(dirname "$0")/lib.sh"
e2e_setup randr=2
e2e_install_program
ini="$E2E_APP/settings.ini"
title='^KALDERN - Loadspire Gauge$'
e2e_panel bottom 0 30
panel_top=770

# run_with SCALE LINES: starts the program at the desktop scale SCALE on a settings file of these
# lines, waits until start-up has placed the gadget for good and checks that it wrote nothing;
# leaves the frame's edges, in the window system's pixels, in left, top, right and bottom.
run_with() {
    local x y w h l r t b
    e2e_scale "$1"
    printf '[Settings]\r\n%b' "$2" >"$ini"
    QT_LOGGING_RULES='lsg.gadget=true' e2e_start_program
    win=$(e2e_wait_window "$title" 30)
    e2e_wait_grep "$E2E_TMP/program.log" 'placed: the frame holds|keeps the gadget at' 60
    e2e_wait_still "$win" >/dev/null
    read -r x y < <(e2e_window_pos "$win")
    read -r w h < <(e2e_window_size "$win")
    read -r l r t b < <(e2e_frame_extents "$win")
    left=$((x - l)) top=$((y - t)) right=$((x + w + r)) bottom=$((y + h + b))
    [ "$(cat "$ini")" = "$(printf '[Settings]\r\n%b' "$2")" ] ||
        e2e_fail "start-up wrote settings: $(tr '\r\n' '  ' <"$ini")"
}

stop_program() {
    kill "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
    e2e_wait_gone "$title" 10
}

# above_panel WHAT: the frame ends at the panel's top edge, to within the pixel a scaled program
# places its frame on, and never below it.
above_panel() {
    [ "$bottom" -le "$panel_top" ] && [ "$bottom" -gt $((panel_top - scale * 2)) ] ||
        e2e_fail "$WHAT at scale $scale: frame $left,$top to $right,$bottom, the panel starts at" \
            "y $panel_top"$'\n'"$(e2e_window_report "$win")"
}

for scale in 1 2; do
    # The default place: the bottom-right corner of the primary monitor's free area.
    run_with "$scale" ''
    WHAT="the default place" above_panel
    [ "$right" -le 1280 ] && [ "$right" -gt $((1280 - scale * 2)) ] ||
        e2e_fail "the default place at scale $scale ends at x $right, not at the monitor's edge 1280"
    e2e_screenshot "panels-default-scale$scale"
    stop_program

    # Saved with its caption 80 px under the panel (Left and Top are the toolkit's pixels, half
    # the window system's at scale 2): up just far enough, the same left edge.
    run_with "$scale" "Left=$((200 / scale))\r\nTop=$((600 / scale))\r\n"
    WHAT="a saved place under the panel" above_panel
    [ $((left - 200)) -gt $((-scale * 2)) ] && [ $((left - 200)) -lt $((scale * 2)) ] ||
        e2e_fail "a saved place under the panel moved sideways to x $left"
    e2e_screenshot "panels-saved-scale$scale"
    stop_program
done

# The other monitor has no panel: a frame past its bottom edge stays as saved.
run_with 1 'Left=1500\r\nTop=700\r\n'
[ "$left $top" = "1500 700" ] || e2e_fail "a place on the monitor without a panel moved to $left,$top"
stop_program
echo "PASS"
