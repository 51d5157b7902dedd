#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Feedback as a user sends it: the dialog opened from the tray menu, a choice clicked, a text
# and an address typed, "Send" pressed. The local server stands in for the maker's; the program
# trusts the server's test CA (LOADSPIRE_TEST_CA_FILE, read only by the local-server build),
# so the feedback goes over verified TLS. Then on a network that resets TLS, where nothing may
# go out in clear text, and with a helper that never ends, where Exit must still work.
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_install_program loadspire-localserver

e2e_local_server
# No version in the update reply: no update popup comes up to take the focus while typing.
e2e_server_command '{"cmd": "set", "path": "/php/check2.php", "mode": "reply", "status": 200, "body": ""}'

e2e_start_program
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null
read -r tx ty < <(e2e_tray_icon_pos)

# "S&end Feedback..." by its access key.
e2e_menu "$tx" "$ty" e
dialog=$(e2e_wait_window '^Loadspire Gauge feedback$' 10)
e2e_activate "$dialog"
read -r dw dh < <(e2e_window_size "$dialog")
[ "$dw" = 525 ] && [ "$dh" = 326 ] || e2e_fail "dialog client area ${dw}x${dh}"
read -r dx dy < <(e2e_window_pos "$dialog")

# "I like it!" fills the left of the top row.
e2e_click $((dx + 130)) $((dy + 23))
# The text box has the focus from the start; Enter starts a new line in it.
xdotool type --delay 15 'Small and handy. Thanks & bye'
xdotool key Return
xdotool type --delay 15 'second line'
xdotool key Tab
xdotool type --delay 15 '  tester@example.org '
sleep 0.3
e2e_screenshot feedback-dialog

# "Send" sits at the bottom right.
e2e_click $((dx + 432)) $((dy + 306))
box=$(e2e_wait_window '^Success$' 15)
sleep 0.3
e2e_screenshot feedback-success

e2e_server_command '{"cmd": "requests"}'
sent=$(python3 -c '
import json, sys
answer = json.loads(sys.argv[1])
for r in answer["requests"]:
    if r["path"] == "/php/feedback.php":
        print(r["scheme"], r["body"])
' "$SERVER_ANSWER")
[ "$(printf '%s\n' "$sent" | grep -c .)" = 1 ] || e2e_fail "feedback requests seen: $sent"
# One secure request; nothing in the clear.
expected='https cmd=feedback&appname=KALDERN+-+Loadspire+Gauge&version=N.N&feedback=I+like+it%21%0DSmall+and+handy.+Thanks+%26+bye%0D%0Asecond+line&email=tester%40example.org'
got=$(printf '%s\n' "$sent" | sed -E 's/&version=[0-9]+\.[0-9]+&/\&version=N.N\&/')
[ "$got" = "$expected" ] || e2e_fail "sent: $sent"

# OK on the box; the dialog has closed itself and the program goes on.
e2e_activate "$box"
xdotool key Return
e2e_wait_until 5 e2e_no_window '^(Success|Loadspire Gauge feedback)$' ||
    e2e_fail "the success box or the dialog is still open"
e2e_alive "$E2E_PID" || e2e_fail "the program ended"

# feedback_requests: the schemes of the feedback requests the server has seen, one a line.
feedback_requests() {
    e2e_server_command '{"cmd": "requests"}'
    python3 -c '
import json, sys
for r in json.loads(sys.argv[1])["requests"]:
    if r["path"] == "/php/feedback.php":
        print(r["scheme"])
' "$SERVER_ANSWER"
}

# open_feedback_and_type TEXT: opens the dialog from the tray menu and types TEXT into it; the
# dialog's id lands in DIALOG.
open_feedback_and_type() {
    e2e_menu "$tx" "$ty" e
    DIALOG=$(e2e_wait_window '^Loadspire Gauge feedback$' 10)
    e2e_activate "$DIALOG"
    xdotool type --delay 15 "$1"
}

# A network that resets every TLS handshake and answers plain HTTP itself: the send ends in the
# failure box, and nothing goes out in clear text.
e2e_server_command '{"cmd": "tls", "mode": "reset"}'
e2e_server_command '{"cmd": "clear"}'
open_feedback_and_type 'private words'
read -r dx dy < <(e2e_window_pos "$DIALOG")
e2e_click $((dx + 432)) $((dy + 306))
box=$(e2e_wait_window '^Failure$' 20)
[ -z "$(feedback_requests)" ] || e2e_fail "feedback went out: $(feedback_requests | paste -sd ' ')"
e2e_activate "$box"
xdotool key Return
e2e_wait_gone '^Failure$' 10
# The dialog stays, with what the user wrote, for another try; Escape closes it.
xdotool search --onlyvisible --name '^Loadspire Gauge feedback$' >/dev/null ||
    e2e_fail "the dialog closed after a failed send"
e2e_activate "$DIALOG"
xdotool key Escape
e2e_wait_gone '^Loadspire Gauge feedback$' 10

# A network helper that never ends: while the send waits for it, the tray menu works, and Exit
# ends the program cleanly, the helper with it.
printf '#!/bin/bash\nexec -a "$0" sleep 600\n' >"$E2E_APP/loadspire-post"
chmod +x "$E2E_APP/loadspire-post"
helper_running() {
    pgrep -f "^$E2E_APP/loadspire-post" >/dev/null
}
open_feedback_and_type 'still there?'
read -r dx dy < <(e2e_window_pos "$DIALOG")
e2e_click $((dx + 432)) $((dy + 306))
e2e_wait_until 10 helper_running || e2e_fail "the send did not start its helper"
e2e_exit_from_menu "$tx" "$ty" "$E2E_PID"
status=0
wait "$E2E_PID" || status=$?
[ "$status" = 0 ] || e2e_fail "the program ended with status $status: $(tail -n 5 "$E2E_TMP/program.log")"
! helper_running || e2e_fail "the helper outlived the program"
echo "feedback e2e passed"
