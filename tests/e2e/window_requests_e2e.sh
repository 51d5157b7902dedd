#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# window_requests_e2e.sh [openbox|xfwm4]: the window-system requests the gadget makes, under that
# window manager (openbox by default): a window brought before the user
# comes to the current desktop, out of Show Desktop and out of its iconic state, focused; a window
# put on every desktop stays in sight whichever desktop is chosen. A probe window runs the
# requests (tests/platform/window_requests_probe).
source "$(dirname "$0")/lib.sh"
e2e_setup notray "wm=${1:-openbox}"
mkfifo "$E2E_TMP/probe.in"

# start_probe N: starts the probe, its log in probe-N.log, and opens the way to give it commands.
start_probe() {
    log="$E2E_TMP/probe-$1.log"
    "$LSG_BINARY_DIR/tests/window_requests_probe" <"$E2E_TMP/probe.in" >"$log" 2>&1 &
    probe_pid=$!
    exec {commands}>"$E2E_TMP/probe.in"
    declare -gA sent=()
}

# request COMMAND: has the probe run COMMAND and waits until it has.
request() {
    sent[$1]=$((${sent[$1]:-0} + 1))
    echo "$1" >&"$commands"
    e2e_wait_grep "$log" "^done $1\$" 60 "${sent[$1]}"
}

# probe_window: prints the id of the probe's window, once it has one.
probe_window() {
    e2e_wait_until 60 probe_has_window || e2e_fail "the probe made no window"$'\n'"$(report)"
    xdotool search --pid "$probe_pid" --name '^lsg-request-probe$' | head -n1
}

probe_has_window() {
    xdotool search --pid "$probe_pid" --name '^lsg-request-probe$' >/dev/null 2>&1
}

root_value() {
    xprop -root "$1" 2>/dev/null | sed -n 's/^[^=]*= *//p'
}

# state: what the window system says of the probe's window, on one line.
state() {
    echo "map=$(xwininfo -id "$win" | sed -n 's/.*Map State: //p')" \
        "desktop=$(xprop -id "$win" _NET_WM_DESKTOP | sed -n 's/^[^=]*= *//p')" \
        "current=$(root_value _NET_CURRENT_DESKTOP)" \
        "showing=$(root_value _NET_SHOWING_DESKTOP)" \
        "active=$(($(xprop -root _NET_ACTIVE_WINDOW | sed -n 's/.*# *\(0x[0-9a-f]*\).*/\1/p')))" \
        "wm_state=$(xprop -id "$win" WM_STATE | sed -n 's/.*window state: //p')"
}

# wait_state WHAT PATTERN...: waits until state() matches every extended regular expression, up
# to a minute (a window manager on a machine loaded many times over takes its time).
wait_state() {
    local what="$1"
    shift
    e2e_wait_until 60 state_matches "$@" || e2e_fail "$what: $(state)"$'\n'"$(report)"
}

# state_matches PATTERN...: true while state() matches every extended regular expression.
state_matches() {
    local now p
    now=$(state)
    for p in "$@"; do
        grep -qE -e "$p" <<<"$now" || return 1
    done
}

# report: what the window manager and the probe said, for a failure.
report() {
    e2e_alive "$E2E_WM_PID" && echo "  $E2E_WM runs" || echo "  $E2E_WM has ended"
    tail -n 5 "$E2E_TMP/$E2E_WM.log" 2>/dev/null | sed "s/^/  $E2E_WM: /"
    tail -n 5 "$log" | sed 's/^/  probe: /'
    xwininfo -id "${win:-0}" 2>&1 | sed -n 's/^ *\(Absolute\|Width\|Height\|Map\|Override\)/  \1/p'
}

in_sight="map=IsViewable"
start_probe 1
request show
win=$(probe_window)
focused="active=$win( |\$)"
wait_state "the window did not show" "$in_sight" "desktop=0 "

# Another desktop: openbox hides the window there; brought, it comes to that desktop.
wmctrl -s 1
wait_state "the window stayed in sight on desktop 1" "current=1 " "map=IsUnMapped"
request bring
wait_state "the window was not brought to desktop 1" "$in_sight" "desktop=1 " "current=1 " \
    "$focused"

# Show Desktop hides every window until it is left; bringing the window leaves it.
wmctrl -k on
wait_state "Show Desktop left the window in sight" "showing=1" "map=IsUnMapped"
request bring
wait_state "the window was not brought out of Show Desktop" "$in_sight" "showing=0" "$focused"

# Minimised, it is mapped again.
xdotool windowminimize "$win"
wait_state "the window did not minimise" "wm_state=Iconic" "map=IsUnMapped"
request bring
wait_state "the window was not brought back from its icon" "$in_sight" "wm_state=Normal" \
    "$focused"
e2e_screenshot "window-requests-brought-$E2E_WM"

# On every desktop, asked before the map: in sight on each desktop chosen.
request hide
wait_state "the window did not hide" "map=IsUnMapped"
request sticky
request show
wait_state "the window is not on every desktop" "$in_sight" "desktop=4294967295 "
for desktop in 2 0 3; do
    wmctrl -s "$desktop"
    wait_state "the window on every desktop is out of sight on desktop $desktop" \
        "current=$desktop " "$in_sight"
done
# Brought, it stays on every desktop, and Show Desktop is left for it too.
wmctrl -k on
wait_state "Show Desktop left the window in sight" "showing=1" "map=IsUnMapped"
request bring
wait_state "the window was not brought out of Show Desktop" "$in_sight" "showing=0" \
    "desktop=4294967295 " "current=3 " "$focused"

# Asked while it is shown: the window manager moves it to every desktop at once.
request quit
e2e_wait_ended "$probe_pid" "the probe still runs after quit"
exec {commands}>&-
start_probe 2
request show
win=$(probe_window)
wait_state "the second window did not show on desktop 3" "$in_sight" "desktop=3 "
request sticky
wait_state "the shown window was not put on every desktop" "desktop=4294967295 "
wmctrl -s 1
wait_state "the window put on every desktop is out of sight on desktop 1" "current=1 " "$in_sight"
request quit
echo "PASS"
