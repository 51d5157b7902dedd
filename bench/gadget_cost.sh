#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# What the gadget costs the machine it measures, side by side with other desktop CPU graphs on
# one private X desktop: conky and xosview, each set to draw one graph per CPU plus a total, once a
# second, like the gadget with its strips on, and gkrellm with its CPU charts.
#
#   bench/gadget_cost.sh [seconds] [extra-settings-line ...]
#
# CPU time is the sum of the first field of /proc/PID/task/*/schedstat (nanoseconds on the CPU)
# over the measured period; memory comes from /proc/PID/smaps_rollup at its end. "own" is
# Private_Dirty: heap, stacks and written pages, which unlike shared or clean pages do not
# depend on what else maps the same libraries. Ratios are to the peer with the least CPU time.
#
# A last row, "qt window", is no peer but the toolkit's floor: build/bench/qt_window, a window the
# gadget's size that only repaints itself once a second. The gadget's figure less that one is what
# its own work costs.
#
# More copies of the gadget run beside them, each given processors it does not have by a
# /proc/stat of its own whose counters move every second, every processor to a load of its own
# (tests/e2e/lib.sh, e2e_proc_stat): 2 and 128 of them unless CPU_CASES names other counts
# ("2 128 256"). The last lines compare each case with the first: what many processors cost the
# same build on the same desktop at the same time.
#
# Needs a built tree (build/loadspire), and the packages xvfb openbox trayer xdotool conky-std
# gkrellm xosview xfonts-base (installed here when missing; they are not test dependencies).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
shift || true

need=()
for p in xvfb openbox trayer xdotool conky-std gkrellm xosview xfonts-base bc; do
    [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" = "install ok installed" ] || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "Installing ${need[*]}" >&2
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null ||
        { $sudo apt-get update -qq && $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; }
fi

export LSG_BINARY_DIR="${LSG_BINARY_DIR:-$here/build}"
source "$here/tests/e2e/lib.sh"
e2e_warn_other_gadgets
e2e_setup
e2e_install_program
# Fresh copies are dirty in the page cache until written back, and would count as own memory.
sync
printf '[Settings]\nShowCores=1\n' >"$E2E_APP/settings.ini"
for line in "$@"; do printf '%s\n' "$line" >>"$E2E_APP/settings.ini"; done

cpus=$(getconf _NPROCESSORS_ONLN)
read -r -a cases <<<"${CPU_CASES:-2 128}"

# conky: the gadget's picture in its own window, redrawn once a second.
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

# gkrellm runs as it comes: a chart per CPU beside its other monitors (its own settings file
# takes nothing written by hand).

e2e_start_program
conky -c "$E2E_TMP/conky.conf" >"$E2E_TMP/conky.log" 2>&1 &
conky_pid=$!
gkrellm >"$E2E_TMP/gkrellm.log" 2>&1 &
gkrellm_pid=$!
# xosview: only the CPU meters, as graphs, the total and each CPU, sampled once a second.
xosview -geometry 355x232 -xrm 'xosview*cpuFormat: both' -xrm 'xosview*cpuGraph: True' \
    -xrm 'xosview*samplesPerSec: 1' -xrm 'xosview*cpuPriority: 1' -xrm 'xosview*load: False' -xrm 'xosview*mem: False' \
    -xrm 'xosview*swap: False' -xrm 'xosview*page: False' -xrm 'xosview*net: False' \
    -xrm 'xosview*disk: False' -xrm 'xosview*int: False' -xrm 'xosview*irqrate: False' \
    -xrm 'xosview*battery: False' -xrm 'xosview*RAID: False' -xrm 'xosview*lmstemp: False' \
    -xrm 'xosview*coretemp: False' -xrm 'xosview*acpitemp: False' -xrm 'xosview*bsdsensor: False' \
    -xrm 'xosview*serial0: False' -xrm 'xosview*serial1: False' -xrm 'xosview*NFSStats: False' \
    -xrm 'xosview*NFSDStats: False' -xrm 'xosview*ints: False' -xrm 'xosview*wireless: False' \
    -xrm 'xosview*filesys: False' -xrm 'xosview*captions: True' >"$E2E_TMP/xosview.log" 2>&1 &
xosview_pid=$!

names=(loadspire conky gkrellm xosview)
pids=("$E2E_PID" "$conky_pid" "$gkrellm_pid" "$xosview_pid")
windows=('^KALDERN - Loadspire Gauge$' '^conky' '^gkrellm' '^xosview')
peers=${#names[@]}
first_case=${#names[@]}
left=500
for n in "${cases[@]}"; do
    dir="$E2E_TMP/cpus$n"
    mkdir -p "$dir"
    cp "$E2E_APP/loadspire" "$E2E_APP/loadspire-post" "$dir/"
    printf '[Settings]\nShowCores=1\nLeft=%d\nTop=400\n' "$left" >"$dir/settings.ini"
    left=$((left + 370))
    sync
    e2e_proc_stat "$E2E_TMP/stat$n" "$n"
    # One copy runs per user and runtime folder: each gadget beside the first has a runtime
    # folder of its own, or it would only show the first one's gadget and end.
    mkdir -p -m 700 "$dir/runtime"
    XDG_RUNTIME_DIR="$dir/runtime" \
        e2e_start_on_proc_stat "$E2E_TMP/stat$n" "$dir/loadspire" "$E2E_TMP/cpus$n.log"
    names+=("loadspire ${n}p")
    pids+=("$E2E_PID")
    windows+=("")
done
if [ -x "$LSG_BINARY_DIR/bench/qt_window" ]; then
    "$LSG_BINARY_DIR/bench/qt_window" >"$E2E_TMP/qt_window.log" 2>&1 &
    names+=("qt window")
    pids+=("$!")
    windows+=('^qt_window$')
fi

# shown_by PID: true once the process shows a window.
shown_by() {
    [ -n "$(xdotool search --onlyvisible --pid "$1" 2>/dev/null)" ]
}
for i in "${!pids[@]}"; do
    if [ -n "${windows[$i]}" ]; then
        e2e_wait_window "${windows[$i]}" 30 >/dev/null
    else
        e2e_wait_until 30 shown_by "${pids[$i]}" || { echo "${names[$i]} shows nothing" >&2; exit 1; }
    fi
    kill -0 "${pids[$i]}" 2>/dev/null || { echo "${names[$i]} ended early" >&2; exit 1; }
done
sleep 3 # everyone is past its start-up

cpu_ns() {
    local sum=0 t v
    for t in /proc/"$1"/task/*/schedstat; do
        read -r v _ <"$t" 2>/dev/null || continue
        sum=$((sum + v))
    done
    echo "$sum"
}
rollup_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/smaps_rollup"; }

declare -a start end
for i in "${!pids[@]}"; do start[$i]=$(cpu_ns "${pids[$i]}"); done
sleep "$seconds"
for i in "${!pids[@]}"; do
    kill -0 "${pids[$i]}" 2>/dev/null || { echo "${names[$i]} ended during the run" >&2; exit 1; }
    end[$i]=$(cpu_ns "${pids[$i]}")
done
if [ "${E2E_KEEP:-0}" = 1 ]; then
    import -window root "$E2E_TMP/desktop.png" && echo "desktop: $E2E_TMP/desktop.png"
fi

declare -a ms
cheapest=""
for i in "${!pids[@]}"; do
    ms[$i]=$(echo "(${end[$i]} - ${start[$i]}) / 1000000 * 60 / $seconds" | bc -l)
    if [ "$i" -gt 0 ] && [ "$i" -lt "$peers" ] &&
        { [ -z "$cheapest" ] || (($(echo "${ms[$i]} < ${ms[$cheapest]}" | bc -l))); }; then
        cheapest=$i
    fi
done

echo "over ${seconds}s, $cpus CPUs; ratios to the cheapest peer (${names[$cheapest]})"
printf '| %-14s | %17s | %8s | %8s | %22s |\n' program "CPU ms per minute" "RSS MB" "PSS MB" \
    "own MB (private dirty)"
printf '|%s|%s|%s|%s|%s|\n' ---------------- ------------------: ---------: ---------: \
    -----------------------:
for i in "${!pids[@]}"; do
    pid=${pids[$i]}
    rss=$(echo "$(rollup_kb "$pid" Rss) / 1024" | bc -l)
    pss=$(echo "$(rollup_kb "$pid" Pss) / 1024" | bc -l)
    own=$(echo "$(rollup_kb "$pid" Private_Dirty) / 1024" | bc -l)
    ratio=$(echo "${ms[$i]} / ${ms[$cheapest]}" | bc -l)
    printf '| %-14s | %8.1f (%5.2fx) | %8.1f | %8.1f | %22.1f |\n' "${names[$i]}" "${ms[$i]}" \
        "$ratio" "$rss" "$pss" "$own"
done
printf 'loadspire against conky: %.2fx\n' "$(echo "${ms[0]} / ${ms[1]}" | bc -l)"
for ((i = first_case + 1; i < first_case + ${#cases[@]}; i++)); do
    printf 'loadspire with %s processors against %s: %.2fx\n' "${cases[$((i - first_case))]}" \
        "${cases[0]}" "$(echo "${ms[$i]} / ${ms[$first_case]}" | bc -l)"
done
