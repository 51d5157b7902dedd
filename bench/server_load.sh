#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Load on the maker's server: update checks over loopback for a bounded time with wrk, then the
# requests per second and the 99th percentile latency.
#   bench/server_load.sh [build-folder] [seconds] [connections]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
seconds=${2:-10}
connections=${3:-8}
server="$build/server/loadspire-server"
[ -x "$server" ] || { echo "no $server: build it first" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is missing: ./scripts/deps installs it" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
mkfifo "$tmp/out"
"$server" --listen 127.0.0.1:0 --data "$tmp/data" --current-version 9.9 >"$tmp/out" 2>"$tmp/err" &
pid=$!
exec {out}<"$tmp/out"
read -r -t 30 line <&"$out" || { echo "the server did not start: $(cat "$tmp/err")" >&2; exit 1; }
cat <&"$out" >/dev/null &
port=$(sed -E 's|.*://127\.0\.0\.1:([0-9]+) .*|\1|' <<<"$line")

wrk -t2 -c"$connections" -d"${seconds}s" --timeout 2s --latency -s "$here/server_check.lua" \
    "http://127.0.0.1:$port/php/check2.php" >"$tmp/wrk" 2>"$tmp/wrk.err" || true
cat "$tmp/wrk"
rps=$(awk '/^Requests\/sec:/ {print $2}' "$tmp/wrk")
p99=$(awk '$1 == "99%" {print $2}' "$tmp/wrk")
errors=$(grep -c '^status' "$tmp/wrk.err" || true)
echo
echo "update checks: ${rps:-?} per second, p99 ${p99:-?}, error replies ${errors}"
echo "goal: >= 5000 per second with p99 under 10 ms (${connections} connections, ${seconds} s, load $(cut -d' ' -f1 /proc/loadavg))"
"$server" --data "$tmp/data" --report | awk -F'\t' '$2 == "version" {print "recorded: " $5 " checks from " $4 " installs"}'
