#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# What the About box's character rain costs: the program's CPU time over a period with the box
# open, minus the same period with it closed.
#
#   bench/about_cost.sh [seconds]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
export LSG_BINARY_DIR="${LSG_BINARY_DIR:-$here/build}"
source "$here/tests/e2e/lib.sh"
e2e_setup
e2e_install_program
e2e_start_program
e2e_wait_window '^KALDERN - Loadspire Gauge$' 15 >/dev/null
sleep 3

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$E2E_PID/stat"; }

t0=$(cpu_ticks)
sleep "$seconds"
closed=$(($(cpu_ticks) - t0))

read -r tx ty < <(e2e_tray_icon_pos)
e2e_menu "$tx" "$ty" a
e2e_wait_window '^About Loadspire Gauge$' 10 >/dev/null
sleep 2
t0=$(cpu_ticks)
sleep "$seconds"
open=$(($(cpu_ticks) - t0))

printf 'over %ss: closed %.2f s, open %.2f s, the rain %.2f %% of one core\n' "$seconds" \
    "$(echo "$closed / $ticks" | bc -l)" "$(echo "$open / $ticks" | bc -l)" \
    "$(echo "($open - $closed) * 100 / ($ticks * $seconds)" | bc -l)"
