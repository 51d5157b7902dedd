#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Two builds of the gadget side by side on one private X desktop, for the same seconds, so that
# the machine's drift from run to run falls on both alike. Prints each one's CPU time per minute
# (schedstat nanoseconds over all its threads) and its RSS and own (Private_Dirty) memory.
#
#   bench/compare_builds.sh OLD_BUILD_DIR NEW_BUILD_DIR [seconds]
#
# Each build folder must hold loadspire and loadspire-post. Both run with the strips shown.
# BUSY=1 runs gkrellm beside them: its load moves, so the charts repaint on most ticks, as they
# do on a working machine (an idle one leaves flat charts that skip their paint).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 OLD_BUILD_DIR NEW_BUILD_DIR [seconds]" >&2; exit 2; }
old=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
seconds="${3:-60}"

export LSG_BINARY_DIR="$new"
source "$here/tests/e2e/lib.sh"
e2e_warn_other_gadgets
e2e_setup

declare -A pid
left=10
for name in old new; do
    dir="$E2E_TMP/$name"
    mkdir -p "$dir"
    src=$([ "$name" = old ] && echo "$old" || echo "$new")
    cp "$src/loadspire" "$src/loadspire-post" "$dir/"
    printf '[Settings]\nShowCores=1\nLeft=%d\nTop=10\n' "$left" >"$dir/settings.ini"
    left=$((left + 410))
done
# Fresh copies are dirty in the page cache until written back, and would count as own memory.
sync
# One copy runs per user and runtime folder: each build gets a runtime folder of its own, or the
# second would only show the first one's gadget and end.
for name in old new; do
    mkdir -p -m 700 "$E2E_TMP/$name-runtime"
    XDG_RUNTIME_DIR="$E2E_TMP/$name-runtime" "$E2E_TMP/$name/loadspire" >"$E2E_TMP/$name.log" 2>&1 &
    pid[$name]=$!
done
if [ "${BUSY:-0}" = 1 ]; then
    gkrellm >"$E2E_TMP/gkrellm.log" 2>&1 &
    E2E_EXTRA_PIDS="${E2E_EXTRA_PIDS:-} $!"
fi
sleep 8 # both are past their start-up

cpu_ns() { awk '{s += $1} END {print s}' /proc/"$1"/task/*/schedstat; }
declare -A start
for name in old new; do start[$name]=$(cpu_ns "${pid[$name]}"); done
sleep "$seconds"
for name in old new; do
    end=$(cpu_ns "${pid[$name]}")
    rss=$(awk '$1 == "Rss:" {print $2}' "/proc/${pid[$name]}/smaps_rollup")
    own=$(awk '$1 == "Private_Dirty:" {print $2}' "/proc/${pid[$name]}/smaps_rollup")
    printf '%s: %5.1f CPU ms per minute, RSS %.1f MB, own %.2f MB\n' "$name" \
        "$(echo "($end - ${start[$name]}) / 1000000 * 60 / $seconds" | bc -l)" \
        "$(echo "$rss / 1024" | bc -l)" "$(echo "$own / 1024" | bc -l)"
done
