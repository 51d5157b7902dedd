#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# A German session: the program takes its language from LANG and LANGUAGE (no generated locale
# is needed for that), the tray menu reads German with German access keys, the caption is
# German, and feedback sent from the German dialog reaches the local server with the English
# wire texts ("I like it!\r", appname, the field names).
source "$(dirname "$0")/lib.sh"

e2e_setup
e2e_install_program loadspire-localserver

e2e_local_server
# No update offered: no popup takes the focus.
e2e_server_command '{"cmd": "set", "path": "/php/check2.php", "mode": "reply", "status": 200, "body": ""}'

unset LC_ALL LC_MESSAGES
export LANG=de_DE.UTF-8 LANGUAGE=de
export QT_LOGGING_RULES="lsg.tray.debug=true;lsg.gadget.info=true"
e2e_start_program
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null
log="$E2E_TMP/program.log"
grep -q 'texts in "de" from "loadspire_de.qm"' "$log" ||
    e2e_fail "no German translation chosen: $(grep -m3 'texts in' "$log")"

# The menu as it opens, then closed again with Escape.
read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" Escape
menu='menu: &Fenster anzeigen | Einstellungen... | Immer im Vordergrund | Alle Prozessoren anzeigen | &Live-Symbol im Infobereich | Update-Benachrichtigungen | Beim &Anmelden starten | Online-Hilfe | Feedback &senden... | Ü&ber... | B&eenden'
menu_logged() { grep -qF -- "$menu" "$log"; }
e2e_wait_until 10 menu_logged || e2e_fail "the menu read: $(grep 'menu:' "$log" | tail -n1)"
# The caption the tray's tooltip shows, in German.
caption_logged() { grep -qE 'Mittlere CPU-Auslastung: [0-9]+% \([0-9]+ Prozessoren\)|CPU-Auslastung: [0-9]+% \(1 Prozessor\)' "$log"; }
e2e_wait_until 10 caption_logged || e2e_fail "no German caption: $(grep tooltip: "$log" | tail -n1)"

# "Feedback &senden..." by its German access key opens the German dialog.
e2e_menu "$tx" "$ty" s
dialog=$(e2e_wait_window '^Loadspire Gauge .+ Feedback$' 10)
e2e_activate "$dialog"
read -r dx dy < <(e2e_window_pos "$dialog")
# "Gefällt mir!" fills the left of the top row; the text box has the focus.
e2e_click $((dx + 130)) $((dy + 23))
xdotool type --delay 15 'Gut'
e2e_click $((dx + 432)) $((dy + 306))
box=$(e2e_wait_window '^Erfolg$' 15)
e2e_screenshot i18n-feedback-success

e2e_server_command '{"cmd": "requests"}'
sent=$(python3 -c '
import json, sys
for r in json.loads(sys.argv[1])["requests"]:
    if r["path"] == "/php/feedback.php":
        print(r["scheme"], r["body"])
' "$SERVER_ANSWER")
expected='https cmd=feedback&appname=KALDERN+-+Loadspire+Gauge&version=N.N&feedback=I+like+it%21%0DGut'
got=$(printf '%s\n' "$sent" | sed -E 's/&version=[0-9]+\.[0-9]+&/\&version=N.N\&/')
[ "$got" = "$expected" ] || e2e_fail "sent: $sent"

e2e_activate "$box"
xdotool key Return
e2e_wait_until 5 e2e_no_window '^(Erfolg|Loadspire Gauge .+ Feedback)$' ||
    e2e_fail "the success box or the dialog is still open"
# "B&eenden" ends the program.
e2e_menu "$tx" "$ty" e
e2e_wait_ended "$E2E_PID" "the program still runs after Beenden"
echo "i18n e2e passed"
