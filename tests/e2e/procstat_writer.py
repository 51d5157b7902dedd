#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
"""Keeps the counters of a /proc/stat-format file moving, for a program that reads it in place of
the kernel's (see e2e_proc_stat in lib.sh).

    procstat_writer.py FILE CPUS

FILE is written at once, then rewritten in place four times a second for as long as the writer
runs: the same file and always the same length, so that a reader which keeps it open and reads it
again from offset 0 finds whole new counters, never an empty or shortened file. Each CPU's counters
grow by 25 ticks a write (100 a second, the usual USER_HZ), the busy share of them set by its load
in percent: from FILE.load when that file exists (whitespace-separated numbers, CPU 0 first; CPUs
past its end are idle), otherwise a load of its own that changes every second.
"""
import os
import sys
import time

TICKS_PER_WRITE = 25
WRITES_PER_SECOND = 4
WIDTH = 14  # digits of every counter: enough for centuries of ticks


def loads_from(path, cpus, second):
    try:
        with open(path) as f:
            words = f.read().split()
    except FileNotFoundError:
        # Every CPU moves, each differently, so a chart of each repaints every second.
        return [(cpu * 37 + second * 23) % 101 for cpu in range(cpus)]
    values = [min(100.0, max(0.0, float(w))) for w in words[:cpus]]
    return values + [0.0] * (cpus - len(values))


def line(name, user, idle):
    fields = [user, 0, 0, idle, 0, 0, 0, 0, 0, 0]
    return name + " " + " ".join(str(v).zfill(WIDTH) for v in fields) + "\n"


def text(busy, idle):
    lines = [line("cpu ", sum(int(b) for b in busy), sum(int(i) for i in idle))]
    lines += [line("cpu%d" % k, int(busy[k]), int(idle[k])) for k in range(len(busy))]
    lines.append("intr 0\nctxt 0\nbtime 0\nprocesses 1\nprocs_running 1\nprocs_blocked 0\n")
    return "".join(lines).encode()


def main():
    path, cpus = sys.argv[1], int(sys.argv[2])
    busy = [1000.0] * cpus
    idle = [1000.0] * cpus
    fd = os.open(path, os.O_WRONLY | os.O_CREAT, 0o644)
    os.pwrite(fd, text(busy, idle), 0)
    start = time.monotonic()
    writes = 0
    while True:
        writes += 1
        # Paced by the clock, not by the time each write takes.
        time.sleep(max(0.0, start + writes / WRITES_PER_SECOND - time.monotonic()))
        loads = loads_from(path + ".load", cpus, writes // WRITES_PER_SECOND)
        for k in range(cpus):
            busy[k] += TICKS_PER_WRITE * loads[k] / 100
            idle[k] += TICKS_PER_WRITE * (100 - loads[k]) / 100
        # One write from offset 0 of a text as long as the last.
        os.pwrite(fd, text(busy, idle), 0)


if __name__ == "__main__":
    main()
