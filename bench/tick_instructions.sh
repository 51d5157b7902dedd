#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Instructions per tick of the gadget, counted by callgrind, which unlike time does not depend
# on what else the machine runs: each case of build/bench/tick_bench run 100 and 300 times,
# the difference over 200.
#
#   bench/tick_instructions.sh [case ...]    (default: BM_Tick/2 BM_Tick/8 BM_Tick/64 BM_Tick/128)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bench="${LSG_BINARY_DIR:-$here/build}/bench/tick_bench"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
[ $# -gt 0 ] || set -- BM_Tick/2 BM_Tick/8 BM_Tick/64 BM_Tick/128
total() {
    LSG_TICK_ITERATIONS=$2 QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind \
        --callgrind-out-file="$tmp/out" "$bench" --benchmark_filter="^$1/iterations" >/dev/null 2>&1
    awk '/^summary:/ {print $2}' "$tmp/out"
}
for c in "$@"; do
    a=$(total "$c" 100)
    b=$(total "$c" 300)
    echo "$c: $(((b - a) / 200)) instructions per tick"
done
