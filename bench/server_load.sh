#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Load and attacks on the maker's server over loopback, each bounded in time:
#   1. wrk with 256 connections posting update checks: requests per second and the 99th percentile;
#   2. 64 slowloris connections, 256 idle kept-alive connections, 4 streams of a 40 MB request
#      line: meanwhile a fresh check every 50 ms (answered, p99, the server's peak memory), then
#      SIGTERM while the attack goes on (how long the stop took);
#   3. two servers on one throwaway PostgreSQL store, the same installs checking on both: the
#      report must count each install once (skipped without PostgreSQL).
#   bench/server_load.sh [build-folder] [seconds]
# Goals: every probe answered, p99 under 100 ms and memory under 200 MB during each attack, a stop
# within 2 s; wrk at least 20000 checks/s with p99 under 20 ms. Measure on an idle machine.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
seconds=${2:-10}
server="$build/server/loadspire-server"
[ -x "$server" ] || { echo "no $server: build it first" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing: ./scripts/deps installs it" >&2; exit 1; }

tmp=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${pgdata:-}" ] && stop_cluster
    rm -rf "$tmp"
}
trap cleanup EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"

# start NAME ARGS...: a server on a free port; sets PID and PORT.
start() {
    local name=$1 line
    shift
    mkfifo "$tmp/$name.fifo"
    "$server" --listen 127.0.0.1:0 "$@" >"$tmp/$name.fifo" 2>"$tmp/$name.err" &
    PID=$!
    pids+=("$PID")
    exec {fd}<"$tmp/$name.fifo"
    read -r -t 30 line <&"$fd" || { echo "$name did not start: $(cat "$tmp/$name.err")" >&2; exit 1; }
    cat <&"$fd" >/dev/null &
    exec {fd}<&-
    PORT=$(sed -E 's|.*://127\.0\.0\.1:([0-9]+) .*|\1|' <<<"$line")
}

# stop_timed PID: SIGTERM, then the time until the process has gone.
stop_timed() {
    local start=$EPOCHREALTIME
    kill -TERM "$1"
    while kill -0 "$1" 2>/dev/null && [ "$(ps -o stat= -p "$1" | cut -c1)" != Z ]; do sleep 0.01; done
    wait "$1" 2>/dev/null || true
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN {printf "%.2f s", b - a}'
}

echo
echo "== wrk, 256 connections, ${seconds} s"
start wrk --data "$tmp/wrk" --current-version 9.9
wrk -t2 -c256 -d"${seconds}s" --timeout 2s --latency -s "$here/server_check.lua" \
    "http://127.0.0.1:$PORT/php/check2.php" >"$tmp/wrk.out" 2>"$tmp/wrk.err" || true
rps=$(awk '/^Requests\/sec:/ {print $2}' "$tmp/wrk.out")
p99=$(awk '$1 == "99%" {print $2}' "$tmp/wrk.out")
errors=$(awk '/Socket errors|Non-2xx/' "$tmp/wrk.out")
replies=$(grep -c '^status' "$tmp/wrk.err" || true)
echo "checks: ${rps:-?} per second, p99 ${p99:-?}, error replies ${replies} ${errors}"
echo "stop: $(stop_timed "$PID")"

for attack in "slowloris 64" "idle 256" "longline 4"; do
    read -r kind count <<<"$attack"
    echo
    echo "== $kind x$count"
    start "$kind" --data "$tmp/$kind" --current-version 9.9
    python3 "$here/server_attack.py" attack "$kind" "$PORT" $((seconds + 4)) "$count" \
        >"$tmp/$kind.attack" &
    attacker=$!
    sleep 2
    python3 "$here/server_attack.py" probe "$PORT" "$seconds" "$PID"
    echo "stop during the attack: $(stop_timed "$PID")"
    wait "$attacker" || true
    cat "$tmp/$kind.attack"
done

# A throwaway PostgreSQL cluster on a socket in the temporary folder, run by an unprivileged user.
pgbin=$(pg_config --bindir 2>/dev/null || true)
[ -x "$pgbin/initdb" ] || pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
echo
if [ ! -x "${pgbin:-/nonexistent}/initdb" ]; then
    echo "== two servers on one PostgreSQL store: skipped (no PostgreSQL server installed)"
    exit 0
fi
as_pg=()
[ "$(id -u)" -eq 0 ] && as_pg=(runuser -u postgres --)
pgdata="$tmp/pg"
mkdir -p "$pgdata"
[ ${#as_pg[@]} -eq 0 ] || chown postgres "$pgdata" "$tmp"
stop_cluster() { "${as_pg[@]}" "$pgbin/pg_ctl" -D "$pgdata/db" -m immediate stop >/dev/null 2>&1 || true; }
"${as_pg[@]}" "$pgbin/initdb" -D "$pgdata/db" -A trust -U lsg >"$tmp/initdb.log" 2>&1
"${as_pg[@]}" "$pgbin/pg_ctl" -D "$pgdata/db" -l "$pgdata/log" -w \
    -o "-k $pgdata -c listen_addresses='' -c fsync=off" start >/dev/null
url="postgresql://lsg@/postgres?host=$pgdata"
echo "== two servers on one PostgreSQL store"
start one --database "$url" --current-version 9.9
one=$PID one_port=$PORT
start two --database "$url"
two=$PID two_port=$PORT
# 500 installs check on the first server, then the same 500 and 500 more on the second.
post() { curl -sS -o /dev/null --max-time 10 --data "$2" "http://127.0.0.1:$1/php/check2.php"; }
for i in $(seq 1 500); do
    post "$one_port" "cmd=check&appname=A&version=1.7&os=Linux&local=en-US&guid=install-$i"
done
for i in $(seq 1 1000); do
    post "$two_port" "cmd=check&appname=A&version=1.7&os=Linux&local=en-US&guid=install-$i"
done
stop_timed "$one" >/dev/null
stop_timed "$two" >/dev/null
"$server" --database "$url" --report | awk -F'\t' '$2 == "version" {
    print "report: " $4 " installs, " $5 " checks (goal: 1000 installs, 1500 checks)"}'
