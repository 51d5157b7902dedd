#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Measures what the gadget costs the machine it measures: CPU time (utime + stime) and resident
# memory of the running program over a period, beside conky drawing the same picture (a total
# graph and one graph per CPU, once a second) in the same run.
#
#   bench/gadget_cost.sh [seconds] [extra-settings-line ...]
# Needs a built tree (build/loadspire), Xvfb, openbox, trayer and conky (Debian conky-std).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
shift || true
export LSG_BINARY_DIR="${LSG_BINARY_DIR:-$here/build}"
source "$here/tests/e2e/lib.sh"
e2e_setup
e2e_install_program
printf '[Settings]\nShowCores=1\n' >"$E2E_APP/settings.ini"
for line in "$@"; do printf '%s\n' "$line" >>"$E2E_APP/settings.ini"; done

cpus=$(getconf _NPROCESSORS_ONLN)
{
    echo "conky.config = { out_to_x = true, out_to_console = false, own_window = true,"
    echo "  own_window_type = 'normal', update_interval = 1, double_buffer = true,"
    echo "  minimum_width = 355, minimum_height = 232, use_xft = true, font = 'DejaVu Sans:size=8' }"
    echo "conky.text = [["
    for i in $(seq "$cpus" -1 1); do echo "\${cpugraph cpu$i 24,340}"; done
    echo "\${cpugraph cpu0 100,340}"
    echo "Average CPU Usage: \${cpu cpu0}% ($cpus processors)"
    echo "]]"
} >"$E2E_TMP/conky.conf"

e2e_start_program
conky -c "$E2E_TMP/conky.conf" >"$E2E_TMP/conky.log" 2>&1 &
conky_pid=$!
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null
sleep 3  # both are past their start-up

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

g0=$(cpu_ticks "$E2E_PID")
c0=$(cpu_ticks "$conky_pid")
sleep "$seconds"
g1=$(cpu_ticks "$E2E_PID")
c1=$(cpu_ticks "$conky_pid")

printf '%-12s %12s %12s\n' "over ${seconds}s" "CPU time (s)" "RSS (MB)"
printf '%-12s %12.2f %12.1f\n' "loadspire" "$(echo "($g1 - $g0) / $ticks" | bc -l)" \
    "$(echo "$(rss_kb "$E2E_PID") / 1024" | bc -l)"
printf '%-12s %12.2f %12.1f\n' "conky" "$(echo "($c1 - $c0) / $ticks" | bc -l)" \
    "$(echo "$(rss_kb "$conky_pid") / 1024" | bc -l)"
