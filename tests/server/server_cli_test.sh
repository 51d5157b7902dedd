#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The server as a maker runs it: refused command lines and folders, a port in use, a clean stop
# on SIGTERM, the kept version, and a feedback that survives a kill -9 right after its "OK".
set -uo pipefail
server=${1:?usage: server_cli_test.sh path/to/loadspire-server}
tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start NAME ARGS...: starts a server on a free port and waits for its "listening" line;
# sets PID and PORT, and READER, the copier of its output, which ends when the server does.
start() {
    local name=$1
    shift
    mkfifo "$tmp/$name.fifo"
    "$server" --listen 127.0.0.1:0 "$@" >"$tmp/$name.fifo" 2>"$tmp/$name.err" &
    PID=$!
    pids+=("$PID")
    exec {fd}<"$tmp/$name.fifo"
    local line=""
    read -r -t 30 line <&"$fd" || fail "$name did not start: $(cat "$tmp/$name.err")"
    PORT=$(sed -E 's|.*://127\.0\.0\.1:([0-9]+) .*|\1|' <<<"$line")
    [[ $PORT =~ ^[0-9]+$ ]] || fail "$name printed: $line"
    # Keep reading its output so that it never blocks on a full pipe.
    cat <&"$fd" >"$tmp/$name.out" &
    READER=$!
    exec {fd}<&-
}

# A bad flag, a missing flag, an unusable folder: a message and a non-zero exit.
expect_refusal() {
    local want=$1
    shift
    "$server" "$@" >"$tmp/out" 2>"$tmp/err"
    local rc=$?
    [ $rc -ne 0 ] || fail "exit 0 for: $*"
    grep -q -- "$want" "$tmp/err" || fail "no \"$want\" for: $* (got: $(cat "$tmp/err"))"
}
touch "$tmp/file"
expect_refusal 'unknown option "--colour"' --listen 127.0.0.1:0 --data "$tmp/d" --colour
expect_refusal '--data DIR is required' --listen 127.0.0.1:0
expect_refusal 'cannot create the data folder' --listen 127.0.0.1:0 --data "$tmp/file/data"
expect_refusal 'not writable' --data /proc/self --report
expect_refusal 'cannot use the certificate' --listen 127.0.0.1:0 --data "$tmp/d" \
    --tls-cert "$tmp/file" --tls-key "$tmp/file"

start first --data "$tmp/data" --current-version 9.9 --download-url https://example.org/dl/
first=$PID
expect_refusal "cannot listen on 127.0.0.1:$PORT" --listen "127.0.0.1:$PORT" --data "$tmp/d2"

check='cmd=check&appname=KALDERN+-+Loadspire+Gauge&version=1.7&os=Linux&local=en-US&guid=g1'
reply=$(curl -sS --max-time 10 --data "$check" "http://127.0.0.1:$PORT/php/check2.php")
[ "$reply" = $'<version>9.9</version>\r\n<url>https://example.org/dl/</url>\r' ] ||
    fail "check reply: $reply"

kill -TERM "$first"
wait "$first"
rc=$?
[ $rc -eq 0 ] || fail "SIGTERM: exit $rc: $(cat "$tmp/first.err")"
wait "$READER"
grep -q stopped "$tmp/first.out" || fail "no stop message"

# The version given last time stays; a feedback answered "OK" is there after a kill -9.
start second --data "$tmp/data"
second=$PID
reply=$(curl -sS --max-time 10 --data "$check" "http://127.0.0.1:$PORT/php/check2.php")
[[ $reply == '<version>9.9</version>'* ]] || fail "version not kept: $reply"
ok=$(curl -sS --max-time 10 --data 'cmd=feedback&appname=A&version=1.7&feedback=I+like+it%21%0Dkept' \
    "http://127.0.0.1:$PORT/php/feedback.php")
kill -9 "$second"
[ "$ok" = OK ] || fail "feedback reply: $ok"
wait "$second" 2>/dev/null

export=$("$server" --data "$tmp/data" --export-feedback) || fail "export failed"
[[ $export == '{"received":"'*'","like":true,"text":"kept","email":"","appname":"A","version":"1.7"}' ]] ||
    fail "export: $export"
# The first run's check was written at its stop; the killed run's may be lost with it.
"$server" --data "$tmp/data" --report | grep -q $'\tversion\t1.7\t1\t[12]$' || fail "report"
echo "server command line: ok"
