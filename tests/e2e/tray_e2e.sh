#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The tray as a user meets it: the live icon follows the load in an XEmbed tray (trayer) and in a
# StatusNotifierItem tray (tests/sni_tray, a watcher and host on a private session bus), the
# tooltip reads the caption, the live icon is switched off and on from the menu and kept in
# settings.ini, and "Start at Login" writes and removes the autostart entry under
# XDG_CONFIG_HOME. The program sees a machine of two processors whose load the test sets: a file
# in /proc/stat's format, bound over /proc/stat in a mount namespace of its own.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_install_program
command -v unshare >/dev/null || e2e_fail "unshare (util-linux) is needed"

# --- The machine's load ---------------------------------------------------------------------------
# Both processors are busy for the share set by set_load (100: fully busy, 0: idle); the file is
# bound over /proc/stat in the program's mount namespace (e2e_proc_stat, e2e_start_on_proc_stat).
stat="$E2E_TMP/stat"
set_load() {
    # Whole or not at all: the writer never reads a half-written load.
    echo "$1 $1" >"$stat.load.new" && mv "$stat.load.new" "$stat.load"
}
set_load 0
e2e_proc_stat "$stat" 2

# start_program LOG: the installed program, seeing the file above as /proc/stat; it logs what each
# tick handed the tray. Its pid is in E2E_PID.
start_program() {
    QT_LOGGING_RULES='lsg.tray=true' e2e_start_on_proc_stat "$stat" "$E2E_APP/loadspire" "$1"
}

# ticks LOG: how many sampling ticks the program has logged.
ticks() {
    grep -c 'lsg.tray: total' "$1" 2>/dev/null || true
}

# wait_ticks LOG N: waits until the program has logged N more ticks than now.
wait_ticks() {
    local target=$(($(ticks "$1") + $2))
    e2e_wait_until 30 e2e_grep_count "$1" 'lsg.tray: total' "$target" ||
        e2e_fail "the program did not tick $2 more times: $(tail -n 5 "$1")"
}

# --- An XEmbed tray: trayer --------------------------------------------------------------------
# No session bus: the toolkit docks its icon in trayer.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus"
# The autostart entry goes where XDG_CONFIG_HOME says, not to ~/.config.
export XDG_CONFIG_HOME="$E2E_TMP/config-home"
log="$E2E_TMP/program.log"
start_program "$log"
read -r tx ty < <(e2e_tray_icon_pos)
e2e_find_tray_icon || e2e_fail "the icon left the tray"
# The icon's window in the tray: "WxH+X+Y" on the screen.
read -r iw ih ix iy < <(echo "$E2E_FOUND" | awk '{ split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
    print g[1], g[2], a[2], a[3] }')

icon_crop() {
    import -window root -crop "${iw}x${ih}+${ix}+${iy}" +repage "$E2E_TMP/icon.png" 2>/dev/null
}
# white: near-white pixels of the icon as the tray shows it.
white() {
    icon_crop && convert "$E2E_TMP/icon.png" -alpha off -fill black -fuzz 12% +opaque white \
        -format '%[fx:round(mean*w*h)]' info:
}
at_least_white() {
    [ "$(white)" -ge "$1" ]
}
crop_differs_from() {
    icon_crop && ! cmp -s "$E2E_TMP/icon.png" "$1"
}
same_crop_twice() {
    icon_crop && cp "$E2E_TMP/icon.png" "$E2E_TMP/icon-before.png" && sleep 0.2 && icon_crop &&
        cmp -s "$E2E_TMP/icon.png" "$E2E_TMP/icon-before.png"
}

# Idle: the chart lies on its base.
wait_ticks "$log" 2
e2e_wait_until 10 same_crop_twice || e2e_fail "the tray icon does not settle"
idle=$(white)
cp "$E2E_TMP/icon.png" "$E2E_TMP/idle.png"
grep -q 'new picture' "$log" || e2e_fail "the tray was never handed the live icon"

# Busy: the area rises from the right.
set_load 100
e2e_wait_until 30 at_least_white $((idle + 60)) ||
    e2e_fail "the tray icon did not follow the load: $idle near-white pixels idle, $(white) busy"
e2e_screenshot tray-live-xembed

# "Live Tray &Icon" off: the program icon, which the load no longer moves; kept in settings.ini.
e2e_menu "$tx" "$ty" i
[ "$(e2e_wait_ini_value "$E2E_APP/settings.ini" LiveTrayIcon 0)" = 0 ] ||
    e2e_fail "LiveTrayIcon=0 not written"
e2e_wait_until 10 same_crop_twice || e2e_fail "the tray icon does not settle"
cp "$E2E_TMP/icon.png" "$E2E_TMP/static.png"
set_load 0
wait_ticks "$log" 3
icon_crop
cmp -s "$E2E_TMP/icon.png" "$E2E_TMP/static.png" || e2e_fail "the program icon changed with the load"
e2e_menu "$tx" "$ty" i
[ "$(e2e_wait_ini_value "$E2E_APP/settings.ini" LiveTrayIcon 1)" = 1 ] ||
    e2e_fail "LiveTrayIcon=1 not written"
e2e_wait_until 10 crop_differs_from "$E2E_TMP/static.png" || e2e_fail "the live icon did not come back"

# "Start at &Login" writes the entry that starts this very program, and removes it again.
entry="$XDG_CONFIG_HOME/autostart/loadspire.desktop"
e2e_menu "$tx" "$ty" l
e2e_wait_until 10 test -f "$entry" || e2e_fail "no autostart entry at $entry"
grep -qxF "Exec=$E2E_APP/loadspire" "$entry" || e2e_fail "the entry starts: $(grep Exec "$entry")"
[ ! -e "$HOME/.config/autostart" ] || e2e_fail "an entry went to ~/.config despite XDG_CONFIG_HOME"
e2e_menu "$tx" "$ty" l
e2e_wait_until 10 test ! -e "$entry" || e2e_fail "the autostart entry stayed"

e2e_exit_from_menu "$tx" "$ty" "$E2E_PID"

# --- A StatusNotifierItem tray --------------------------------------------------------------------
unset DBUS_SESSION_BUS_ADDRESS
e2e_session_bus
sni="$E2E_TMP/sni.log"
"$LSG_BINARY_DIR/tests/sni_tray" >"$sni" 2>&1 &
E2E_EXTRA_PIDS="$E2E_EXTRA_PIDS $!"
e2e_wait_grep "$sni" '^ready$' 30
log="$E2E_TMP/program-sni.log"
start_program "$log"
e2e_wait_grep "$sni" '^icon 0 ' 30
e2e_wait_grep "$sni" '^tooltip [0-9]+ Average CPU Usage: 0% \(2 processors\)$' 30

# Idle and steady: the ticks go on, but nothing new is sent, neither icon nor tooltip (start-up
# sends the program icon, then the live one, which may reach the host after it registered).
wait_ticks "$log" 1
icons=$(grep -c '^icon ' "$sni")
tooltips=$(grep -c '^tooltip ' "$sni")
wait_ticks "$log" 4
[ "$(grep -c '^icon ' "$sni")" = "$icons" ] ||
    e2e_fail "icons sent while nothing changed: $(grep '^icon ' "$sni")"
[ "$(grep -c '^tooltip ' "$sni")" = "$tooltips" ] ||
    e2e_fail "tooltips sent while nothing changed: $(grep '^tooltip ' "$sni")"
grep '^icon ' "$sni" | tail -n 1 | grep -q ' 16x16,22x22,24x24,32x32,48x48,64x64 ' ||
    e2e_fail "not the sizes trays show: $(grep '^icon ' "$sni" | tail -n 1)"
grep -q 'same picture' "$log" || e2e_fail "no tick kept the picture: $(tail -n 5 "$log")"
idle=$(sed -n 's/^icon .*white22=//p' "$sni" | tail -n 1)

set_load 100
e2e_wait_grep "$sni" '^tooltip [0-9]+ Average CPU Usage: 100% \(2 processors\)$' 30
sni_busy() {
    local w
    w=$(sed -n 's/^icon .*white22=//p' "$sni" | tail -n 1)
    [ "${w:-0}" -ge $((idle + 60)) ]
}
e2e_wait_until 30 sni_busy || e2e_fail "the SNI icon did not follow the load: $(grep '^icon ' "$sni")"
e2e_wait_until 10 e2e_find_window '^lsg-sni-tray$' || e2e_fail "no window of the SNI tray"
e2e_screenshot tray-live-sni
kill "$E2E_PID"
e2e_wait_ended "$E2E_PID" "the program did not end"
echo "tray e2e passed"
