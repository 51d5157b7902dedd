#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The program against the maker's own server: loadspire-server announces 9.9, the program shows
# the UPDATE AVAILABLE popup for it, then a feedback sent through the dialog comes out of the
# server's export. The server speaks HTTPS on the port the test build was made for, with a
# certificate of the test CA that the program trusts (LOADSPIRE_TEST_CA_FILE, read only by the
# local-server build): feedback goes over HTTPS only.
source "$(dirname "$0")/lib.sh"
: "${LSG_SOURCE_DIR:?LSG_SOURCE_DIR must point at the source folder}"
: "${LOADSPIRE_TEST_SERVER_PORT:?LOADSPIRE_TEST_SERVER_PORT must name the local server port}"
server="$LSG_BINARY_DIR/server/loadspire-server"

e2e_setup
e2e_install_program loadspire-localserver
export LC_ALL=C.UTF-8 LANG=C.UTF-8

# The test CA and a certificate for 127.0.0.1, made as the local test server makes them.
python3 -I -S -B -c 'import sys; sys.path.insert(0, sys.argv[1]); import server; server.make_certificates(sys.argv[2])' \
    "$LSG_SOURCE_DIR/tests/servers" "$E2E_TMP/certs" || e2e_fail "no test certificates"
export LOADSPIRE_TEST_CA_FILE="$E2E_TMP/certs/ca.pem"

mkfifo "$E2E_TMP/server.out"
"$server" --listen "127.0.0.1:$LOADSPIRE_TEST_SERVER_PORT" --data "$E2E_TMP/server-data" \
    --current-version 9.9 --tls-cert "$E2E_TMP/certs/server.pem" \
    --tls-key "$E2E_TMP/certs/server.key" >"$E2E_TMP/server.out" 2>"$E2E_TMP/server.err" &
server_pid=$!
exec {server_out}<"$E2E_TMP/server.out"
read -r -t 30 ready <&"$server_out" ||
    e2e_fail "the server did not start (port in use?): $(cat "$E2E_TMP/server.err")"
[[ $ready == *"listening on https://127.0.0.1:$LOADSPIRE_TEST_SERVER_PORT "* ]] ||
    e2e_fail "the server said: $ready"
cat <&"$server_out" >"$E2E_TMP/server.log" &

e2e_start_program
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null

# The check runs about a second after start-up; the reply names 9.9.
e2e_wait_until 30 e2e_find_window '^UPDATE AVAILABLE$' ||
    e2e_fail "no popup within 30 s: $(cat "$E2E_TMP/program.log" "$E2E_TMP/server.err")"
store="$XDG_CONFIG_HOME/$(printf '%s' 'KALDERN - Loadspire Gauge' | md5sum | awk '{print toupper($1)}')/update.ini"
version=$(e2e_ini_value "$store" CurrentVersion)
[ "$version" = 9.9 ] || e2e_fail "CurrentVersion=$version"
e2e_screenshot server-update-popup
# Out of the way by itself after its countdown, so that it cannot catch the typing below.
e2e_wait_gone '^UPDATE AVAILABLE$' 30

read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" e
dialog=$(e2e_wait_window '^Loadspire Gauge feedback$' 10)
e2e_activate "$dialog"
read -r dx dy < <(e2e_window_pos "$dialog")
e2e_click $((dx + 130)) $((dy + 23))
xdotool type --delay 15 'Sent to our own server & kept'
xdotool key Tab
xdotool type --delay 15 'maker@example.org'
e2e_click $((dx + 432)) $((dy + 306))
box=$(e2e_wait_window '^Success$' 15)
e2e_activate "$box"
xdotool key Return

export=$("$server" --data "$E2E_TMP/server-data" --export-feedback) || e2e_fail "export failed"
[ "$(printf '%s\n' "$export" | grep -c .)" = 1 ] || e2e_fail "exported: $export"
expected='"like":true,"text":"Sent to our own server & kept","email":"maker@example.org","appname":"KALDERN - Loadspire Gauge","version":"'
[[ $export == '{"received":"'*"$expected"*'"}' ]] || e2e_fail "exported: $export"
"$server" --data "$E2E_TMP/server-data" --report | grep -q $'\tversion\t[0-9]*\\.[0-9]*\t1\t1$' ||
    e2e_fail "report: $("$server" --data "$E2E_TMP/server-data" --report)"

e2e_alive "$E2E_PID" || e2e_fail "the program ended"
kill -TERM "$server_pid"
wait "$server_pid" || e2e_fail "the server did not stop cleanly"
echo "server e2e passed"
