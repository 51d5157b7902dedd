#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Sizes in the program are given at 96 dpi: with every logical pixel drawn as two, the gadget
# and the About box come out exactly twice as large. The screenshots of the doubled run (gadget
# with its menu open, About box with its Info menu) are kept to look at.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_install_program

# run_scaled FACTOR: starts the program at that scale, opens the About box from the gadget's
# menu and sets gadget_size and about_size ("W H" of the client areas).
run_scaled() {
    local factor="$1" win about gx gy
    QT_SCALE_FACTOR="$factor" "$E2E_APP/loadspire" >"$E2E_TMP/program-$factor.log" 2>&1 &
    E2E_PID=$!
    win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)
    # The menu is opened on the gadget: it must be where it will stay.
    e2e_wait_default_place "$win" "$factor"
    read -r gx gy < <(e2e_window_pos "$win")
    gadget_size=$(e2e_window_size "$win")

    # A right click on the gadget opens the tray menu; "&About..." opens the box.
    e2e_open_menu $((gx + 40)) $((gy + 40))
    [ "$factor" = 2 ] && e2e_screenshot hidpi-menu
    xdotool key a
    e2e_wait_popup_closed 5 || e2e_fail "the menu took no key"
    about=$(e2e_wait_window '^About Loadspire Gauge$' 10)
    e2e_wait_focus "$about"
    about_size=$(e2e_window_size "$about")
    if [ "$factor" = 2 ]; then
        e2e_screenshot hidpi-about
        # Info is next in the tab order after OK; its menu takes the next Escape.
        xdotool key Tab space
        e2e_wait_until 10 e2e_popup_open || e2e_fail "the Info menu did not open"
        e2e_screenshot hidpi-about-info
        xdotool key Escape
        e2e_wait_popup_closed 5 || e2e_fail "the Info menu stayed open"
    fi
    xdotool key Escape
    e2e_wait_gone '^About Loadspire Gauge$' 10
    kill "$E2E_PID"
    wait "$E2E_PID" 2>/dev/null || true
}

run_scaled 1
read -r gw1 gh1 <<<"$gadget_size"
read -r aw1 ah1 <<<"$about_size"
[ "$aw1 $ah1" = "446 374" ] || e2e_fail "About box of $aw1 x $ah1 at 96 dpi"
run_scaled 2
read -r gw2 gh2 <<<"$gadget_size"
read -r aw2 ah2 <<<"$about_size"
[ "$gw2 $gh2" = "$((gw1 * 2)) $((gh1 * 2))" ] ||
    e2e_fail "gadget of $gw2 x $gh2 at scale 2, $gw1 x $gh1 at scale 1"
[ "$aw2 $ah2" = "$((aw1 * 2)) $((ah1 * 2))" ] ||
    e2e_fail "About box of $aw2 x $ah2 at scale 2, $aw1 x $ah1 at scale 1"
echo "hidpi e2e passed"
