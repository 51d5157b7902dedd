#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The update check as a user meets it: the program asks the local server, which reports 4.4, so
# the UPDATE AVAILABLE popup appears in the top-right corner; its link hands the download
# address to the browser. The program trusts the server's test CA (LOADSPIRE_TEST_CA_FILE, read
# only by the local-server build), so the check goes over verified TLS. Then, on a network that
# resets TLS and forges a plain reply, the link still leads only to the maker's https page.
source "$(dirname "$0")/lib.sh"

PORT="${LOADSPIRE_TEST_SERVER_PORT:?LOADSPIRE_TEST_SERVER_PORT must name the local server port}"

e2e_setup
e2e_install_program loadspire-localserver

# Dates in the store follow the locale; fix it so that today's text is known.
export LC_ALL=C.UTF-8 LANG=C.UTF-8

e2e_local_server

# The desktop's URL handler is a recorder: Qt hands web addresses to xdg-open.
mkdir -p "$E2E_TMP/bin"
cat >"$E2E_TMP/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$E2E_TMP/opened.txt"
EOF
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"
export BROWSER="$E2E_TMP/bin/xdg-open"

e2e_start_program

# What the server saw, for a failure report.
server_requests() {
    e2e_server_command '{"cmd": "requests"}'
    echo "$SERVER_ANSWER"
}

# The check starts on the first tick of its timer, about a second after start-up.
# wait_popup WHEN: waits for the popup to come up, grown from its centre to its full size, and to
# hold still; its id lands in popup. WHEN names the run for a failure.
wait_popup() {
    if ! e2e_wait_until 30 e2e_find_window '^UPDATE AVAILABLE$'; then
        echo "requests seen by the server: $(server_requests)" >&2
        echo "program output: $(cat "$E2E_TMP/program.log")" >&2
        e2e_fail "no popup within 30 s $1"
    fi
    popup=$E2E_FOUND
    e2e_wait_until 10 full_size || true
}
full_size() {
    [ "$(e2e_window_size "$popup")" = "320 68" ]
}
wait_popup ""
read -r px py < <(e2e_wait_still "$popup")
read -r pw ph < <(e2e_window_size "$popup")
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
[ "$pw" = 320 ] && [ "$ph" = 68 ] || e2e_fail "popup size ${pw}x$ph"
[ "$py" = 5 ] || e2e_fail "popup top $py"
[ $((sw - px - pw)) = 5 ] || e2e_fail "popup right edge $((sw - px - pw)) px from the screen's"

# One request, over verified TLS, with an id of this program's own instead of the machine's.
e2e_server_command '{"cmd": "requests"}'
seen=$(printf '%s\n' "$SERVER_ANSWER" | python3 -c '
import json, sys, urllib.parse
for r in json.load(sys.stdin)["requests"]:
    if r["path"] == "/php/check2.php":
        print(r["scheme"], dict(urllib.parse.parse_qsl(r["body"], keep_blank_values=True)).get("guid"))
')
machine_id=$(head -n1 /etc/machine-id 2>/dev/null || true)
[ "$(printf '%s\n' "$seen" | grep -c .)" = 1 ] || e2e_fail "update requests: $seen"
read -r scheme guid <<<"$seen"
[ "$scheme" = https ] || e2e_fail "the update request went over $scheme"
if [ -n "$machine_id" ]; then
    [[ "$guid" =~ ^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$ ]] ||
        e2e_fail "guid=$guid"
    [ "$guid" != "$machine_id" ] || e2e_fail "the machine id was sent as it is"
fi

# It does not take the focus.
active=$(xdotool getactivewindow 2>/dev/null || true)
[ "$active" != "$popup" ] || e2e_fail "the popup took the focus"

# The store: today's date and the first processed reply of the day.
store="$XDG_CONFIG_HOME/$(printf '%s' 'KALDERN - Loadspire Gauge' | md5sum | awk '{print toupper($1)}')/update.ini"
[ -f "$store" ] || e2e_fail "no store at $store"
today=$(e2e_ini_value "$store" LastUpdateCheck)
count=$(e2e_ini_value "$store" LastUpdateCheckCount)
version=$(e2e_ini_value "$store" CurrentVersion)
# The C locale's short date, as in "9 Dec 2026".
[ "$today" = "$(date +'%-d %b %Y')" ] || e2e_fail "LastUpdateCheck=$today, today is $(date +%F)"
[ "$count" = 1 ] || e2e_fail "LastUpdateCheckCount=$count"
[ "$version" = 4.4 ] || e2e_fail "CurrentVersion=$version"

# Dragged by its icon: 40 left, 12 down.
ix=$((px + 34))
iy=$((py + 34))
e2e_pointer "$ix" "$iy" mousedown 1
for step in 1 2 3 4; do
    e2e_pointer $((ix - step * 10)) $((iy + step * 3))
    sleep 0.05
done
xdotool mouseup 1
e2e_wait_until 10 e2e_window_at "$popup" $((px - 40)) $((py + 12)) || true
read -r nx ny < <(e2e_window_pos "$popup")
[ $((nx - px)) = -40 ] && [ $((ny - py)) = 12 ] || e2e_fail "dragged by $((nx - px)),$((ny - py))"
px=$nx
py=$ny

# Hover over the link, then look at it.
e2e_pointer $((px + 182)) $((py + 45))
sleep 0.3
shots="$LSG_BINARY_DIR/screenshots"
mkdir -p "$shots"
import -window root -crop "$((pw + 20))x$((ph + 20))+$((px - 10))+0" "$shots/update-popup.png"

# A click on the link hands the download address to the browser and closes the popup.
e2e_click $((px + 182)) $((py + 45))
e2e_wait_until 5 test -s "$E2E_TMP/opened.txt" || e2e_fail "nothing was handed to the browser"
opened=$(cat "$E2E_TMP/opened.txt")
[ "$opened" = "https://example.invalid/download/" ] || e2e_fail "handed to the browser: $opened"
e2e_wait_gone '^UPDATE AVAILABLE$' 10
e2e_alive "$E2E_PID" || e2e_fail "the program ended"

# A network that resets every TLS handshake and answers plain HTTP itself, with a forged reply
# that names a plain download on the maker's host: the check falls back to plain HTTP, but the
# link leads to the maker's https download page.
kill "$E2E_PID"
e2e_wait_ended "$E2E_PID" "the program did not end on SIGTERM"
e2e_server_command '{"cmd": "tls", "mode": "reset"}'
forged="http://127.0.0.1:$PORT/download/evil.exe"
body="<version>4.4</version>\\r\\n<url>$forged</url>\\r\\n" # JSON escapes for CR LF
e2e_server_command '{"cmd": "set", "path": "/php/check2.php", "mode": "reply", "status": 200, "body": "'"$body"'"}'
e2e_server_command '{"cmd": "clear"}'
: >"$E2E_TMP/opened.txt"
e2e_start_program
wait_popup "on the network that resets TLS"
read -r px py < <(e2e_wait_still "$popup")
e2e_click $((px + 182)) $((py + 45))
e2e_wait_until 5 test -s "$E2E_TMP/opened.txt" || true
opened=$(cat "$E2E_TMP/opened.txt")
[ "$opened" = "https://127.0.0.1:$PORT/download/" ] ||
    e2e_fail "a plain reply sent the browser to: $opened (requests: $(server_requests))"
[ "$(e2e_ini_value "$store" LastUpdateCheckCount)" = 2 ] || e2e_fail "the plain reply was not used"
echo "update e2e passed"
