#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# "Show All Processors" on machines with many processors, given to the program by a /proc/stat of
# its own: at the default size 16, 64 and 256 processors each get a cell above the total chart,
# which keeps at least half of the charts' height; all idle, every cell reads idle, and when every
# third processor turns fully busy exactly those cells read busy. A window tall enough for 16
# strips shows the strips themselves, and the grid again once it is made small again.
source "$(dirname "$0")/lib.sh"
e2e_setup
e2e_install_program
# The program says in its log where it put the processors.
export QT_LOGGING_RULES="lsg.gadget.info=true"

# layout CPUS: the last layout the program reported for CPUS processors ("" before any).
layout() {
    sed -n "s/^lsg.gadget: $1 processors shown as //p" "$E2E_TMP/program.log" | tail -n 1
}

# layout_is CPUS PATTERN: true while the last layout reported matches the extended PATTERN.
layout_is() {
    layout "$1" | grep -q -E "$2"
}

# cells CPUS: one letter per processor, from a screenshot of the gadget: B when the newest value
# in its cell (the cell's rightmost column) reads busy, that is when most of the column differs
# from the background, "." otherwise. Uses the grid the program reported.
cells() {
    local cpus="$1" kind columns rows height gap width x y
    read -r kind columns rows height gap width < <(layout "$cpus" |
        sed -E 's/^(charts|heat) in ([0-9]+) x ([0-9]+) cells of ([0-9]+) px, gap ([0-9]+), across ([0-9]+) px.*/\1 \2 \3 \4 \5 \6/')
    [ -n "$width" ] || return 1
    read -r x y < <(e2e_window_pos "$win")
    import -window root "$E2E_TMP/cells.png" 2>/dev/null || return 1
    convert "$E2E_TMP/cells.png" -crop "${width}x$((rows * (height + gap)))+$x+$y" +repage \
        -depth 8 txt:- |
        awk -v n="$cpus" -v C="$columns" -v R="$rows" -v H="$height" -v G="$gap" -v W="$width" '
            BEGIN {
                # The gadget'"'"'s background, the slate face: 58, 68, 78.
                br = 58; bg = 68; bb = 78
                # Column c spans c * (W + G) / C to (c + 1) * (W + G) / C - G, as the program
                # lays them out; its last pixel holds the newest value.
                for (c = 0; c < C; c++) last[int((c + 1) * (W + G) / C) - G - 1] = c
            }
            /^[0-9]+,[0-9]+:/ {
                split($1, p, "[,:]"); px = p[1]; py = p[2]
                if (!(px in last)) next
                r = int(py / (H + G))
                if (r >= R || py - r * (H + G) >= H) next
                i = r * C + last[px]
                if (i >= n) next
                gsub(/[()]/, "", $2); split($2, v, ",")
                far = (v[1] - br) ^ 2 > 1600 || (v[2] - bg) ^ 2 > 1600 || (v[3] - bb) ^ 2 > 1600
                on[i] += far; all[i]++
            }
            END {
                s = ""
                for (i = 0; i < n; i++) s = s ((all[i] > 0 && on[i] * 2 > all[i]) ? "B" : ".")
                print s
            }'
}

# cells_are CPUS EXPECTED: true while the cells read EXPECTED.
cells_are() {
    CELLS=$(cells "$1") && [ "$CELLS" = "$2" ]
}

# pattern CPUS BUSY_EVERY: the letters cells prints when every BUSY_EVERY-th processor (the
# third, sixth, ...) is busy; 0 for none.
pattern() {
    local i s=""
    for ((i = 1; i <= $1; i++)); do
        if [ "$2" -gt 0 ] && ((i % $2 == 0)); then s+="B"; else s+="."; fi
    done
    echo "$s"
}

# loads CPUS BUSY_EVERY: the same as a load file, in percent.
loads() {
    local i
    for ((i = 1; i <= $1; i++)); do
        if [ "$2" -gt 0 ] && ((i % $2 == 0)); then echo 100; else echo 0; fi
    done
}

for cpus in 16 64 256; do
    stat="$E2E_TMP/stat-$cpus"
    loads "$cpus" 0 >"$stat.load"
    e2e_proc_stat "$stat" "$cpus"
    printf '[Settings]\r\nLeft=100\r\nTop=100\r\nShowCores=1\r\n' >"$E2E_APP/settings.ini"
    e2e_start_on_proc_stat "$stat"
    win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 20)
    read -r w h < <(e2e_window_size "$win")
    [ "$w $h" = "355 232" ] || e2e_fail "$cpus processors: the window is $w x $h, not 355 x 232"

    # A grid across the whole width, the total chart keeping at least half of the panel.
    e2e_wait_until 10 layout_is "$cpus" "across 355 px" ||
        e2e_fail "$cpus processors: no grid across the window; the program said: $(layout "$cpus")"
    read -r grid panel < <(layout "$cpus" | sed -E 's/.* ([0-9]+) px of a [0-9]+ x ([0-9]+) px panel$/\1 \2/')
    ((grid * 2 <= panel)) || e2e_fail "$cpus processors: the grid takes $grid of $panel px"

    e2e_wait_until 15 cells_are "$cpus" "$(pattern "$cpus" 0)" ||
        e2e_fail "$cpus idle processors read $CELLS"
    # Every third processor fully busy: exactly those cells change.
    loads "$cpus" 3 >"$stat.load"
    e2e_wait_until 15 cells_are "$cpus" "$(pattern "$cpus" 3)" ||
        e2e_fail "$cpus processors, every third busy, read $CELLS"
    e2e_screenshot "manycpu-$cpus"

    if [ "$cpus" = 16 ]; then
        # Tall enough for strips of 22 px or more: the strips, as on a machine with a few
        # processors; and the grid again at the default size.
        xdotool windowsize "$win" 355 440
        e2e_wait_until 10 layout_is 16 "^strips of" ||
            e2e_fail "no strips in a tall window; the program said: $(layout 16)"
        e2e_screenshot manycpu-16-tall
        xdotool windowsize "$win" 355 232
        e2e_wait_until 10 layout_is 16 "^charts in 4 x 4 cells" ||
            e2e_fail "no grid at the default size again; the program said: $(layout 16)"
    fi
    kill "$E2E_PID"
    e2e_wait_ended "$E2E_PID" "the program with $cpus processors did not end"
done
echo "many processors e2e passed"
