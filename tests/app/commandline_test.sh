#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The built program's --help and --version on a console without any display, and a start with
# arguments it does not know, which it ignores.
set -euo pipefail
: "${LSG_BINARY_DIR:?LSG_BINARY_DIR must point at the build folder}"
program="$LSG_BINARY_DIR/loadspire"
tmp=$(mktemp -d /tmp/lsg-cmdline.XXXXXX)
pids=()
cleanup() {
    [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# run_console [VAR=VALUE...] ARGS...: the program with no display at all, in English unless the
# arguments set another language; sets out, err and rc.
run_console() {
    rc=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LANGUAGE -u LC_ALL -u LC_MESSAGES \
        LANG=C.UTF-8 "$@" >"$tmp/out" 2>"$tmp/err" || rc=$?
    out=$(cat "$tmp/out")
    err=$(cat "$tmp/err")
}

# --- Answers on the console ------------------------------------------------------------------------
# Each case: the arguments, then what stdout must hold (a whole line for --version, the first line
# for --help). The first of the two options decides; other arguments around it do not matter.
while IFS='|' read -r args expected; do
    # shellcheck disable=SC2086  # the arguments are words
    run_console "$program" $args
    [ "$rc" = 0 ] || fail "loadspire $args: exit status $rc, stderr: $err"
    [ -z "$err" ] || fail "loadspire $args wrote to stderr: $err"
    [ "$(head -n1 <<<"$out")" = "$expected" ] || fail "loadspire $args printed: $out"
done <<'CASES'
--version|Loadspire Gauge 1.7
--help|Usage: loadspire [--help | --version]
-h|Usage: loadspire [--help | --version]
--unknown --version --help|Loadspire Gauge 1.7
-x --help --version|Usage: loadspire [--help | --version]
CASES

run_console "$program" --help
grep -q -- '--version' <<<"$out" || fail "the usage text does not name --version: $out"

# The help in the user's language, its options as they are typed.
while IFS=';' read -r lang first option; do
    run_console LANG="$lang.UTF-8" LANGUAGE="${lang%_*}" "$program" --help
    [ "$rc" = 0 ] && [ -z "$err" ] || fail "--help under $lang: exit status $rc, stderr: $err"
    [ "$(head -n1 <<<"$out")" = "$first" ] || fail "--help under $lang printed: $out"
    grep -qF -- "$option" <<<"$out" || fail "--help under $lang lacks $option: $out"
done <<'CASES'
de_DE;Aufruf: loadspire [--help | --version];  -h, --help     diese Hilfe ausgeben und beenden
fr_FR;Usage : loadspire [--help | --version];      --version  affiche le nom et la version du programme et quitte
tr_TR;Kullanım: loadspire [--help | --version];  -h, --help     bu yardımı yazdırır ve çıkar
CASES

# An answer that cannot be written is an error, not a success.
rc=0
env -u DISPLAY "$program" --version >/dev/full 2>"$tmp/err" || rc=$?
[ "$rc" = 1 ] || fail "--version into a full device: exit status $rc"
[ -s "$tmp/err" ] || fail "--version into a full device said nothing"

# A copy without its version information says so and fails instead of printing a made-up version.
objcopy --remove-section=.lsg_version "$program" "$tmp/noversion"
run_console "$tmp/noversion" --version
[ "$rc" = 1 ] || fail "--version without version information: exit status $rc, stdout: $out"
[ -z "$out" ] || fail "--version without version information printed: $out"
grep -q 'version information' <<<"$err" || fail "--version without version information: $err"

# --- Other arguments start the gadget as before ------------------------------------------------------
# A display of its own (-displayfd picks a free number); the program runs from a folder of its
# own so that its settings land there. "--" ends the options: the --help after it is ignored too.
exec {dfd}>"$tmp/display"
Xvfb -displayfd "$dfd" -screen 0 800x600x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
exec {dfd}>&-
for _ in $(seq 300); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || fail "Xvfb did not start: $(cat "$tmp/xvfb.log")"
mkdir -p "$tmp/app" "$tmp/home" "$tmp/runtime"
chmod 700 "$tmp/runtime"
cp "$program" "$tmp/app/loadspire"
cp "$LSG_BINARY_DIR/loadspire-post" "$tmp/app/loadspire-post"
DISPLAY=":$(head -n1 "$tmp/display")" QT_QPA_PLATFORM=xcb HOME="$tmp/home" \
    XDG_CONFIG_HOME="$tmp/home/.config" XDG_RUNTIME_DIR="$tmp/runtime" \
    "$tmp/app/loadspire" --unknown-option some-file -- --help >"$tmp/program.log" 2>&1 &
pid=$!
pids+=("$pid")
# xdotool waits for the window itself; the timeout only bounds a program that never shows it.
DISPLAY=":$(head -n1 "$tmp/display")" timeout 120 \
    xdotool search --sync --onlyvisible --name '^KALDERN - Loadspire Gauge$' >/dev/null ||
    fail "no gadget window with unknown arguments: $(cat "$tmp/program.log")"
kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$tmp/program.log")"
grep -q '^Usage' "$tmp/program.log" && fail "the --help after -- was taken as an option"
echo "command line: all cases passed"
