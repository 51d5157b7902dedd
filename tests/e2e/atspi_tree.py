#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# atspi_tree.py [--wait SECONDS] APPLICATION: prints the accessible tree of the running
# application of that name, as a screen reader reads it over AT-SPI, one object a line, indented
# by depth, so that a test can grep it:
#     frame name="KALDERN - Loadspire Gauge"
#       label name="" text="Average CPU Usage: 37% (8 processors)"
#       slider name="Transparency:" value=3
# It waits up to SECONDS (default 60) for the application to show a window. Needs the session
# bus and the accessibility bus (the test library's e2e_accessibility) and python3-pyatspi.
import json
import sys
import time

import pyatspi

MAX_DEPTH = 40
MAX_OBJECTS = 5000


def interface_text(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, text.characterCount)


def interface_value(acc):
    try:
        value = acc.queryValue()
    except NotImplementedError:
        return None
    current = value.currentValue
    return int(current) if float(current).is_integer() else current


def describe(acc):
    parts = [acc.getRoleName().replace(" ", "-"), "name=" + json.dumps(acc.name or "")]
    value = interface_value(acc)
    if value is not None:
        parts.append("value=%s" % value)
    text = interface_text(acc)
    if text is not None:
        parts.append("text=" + json.dumps(text))
    if acc.description:
        parts.append("description=" + json.dumps(acc.description))
    return " ".join(parts)


def dump(acc, depth, budget):
    if budget[0] <= 0 or depth > MAX_DEPTH:
        return
    budget[0] -= 1
    print("  " * depth + describe(acc))
    for child in acc:
        if child is not None:
            dump(child, depth + 1, budget)


def find(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name and app.childCount > 0:
            return app
    return None


def main(argv):
    seconds = 60.0
    if len(argv) == 4 and argv[1] == "--wait":
        seconds = float(argv[2])
        argv = argv[:1] + argv[3:]
    if len(argv) != 2:
        print("usage: atspi_tree.py [--wait SECONDS] APPLICATION", file=sys.stderr)
        return 2
    deadline = time.monotonic() + seconds
    while True:
        app = find(argv[1])
        if app is not None:
            break
        if time.monotonic() >= deadline:
            names = [a.name for a in pyatspi.Registry.getDesktop(0) if a is not None]
            print("atspi_tree.py: no application named %s; there are %s" % (argv[1], names),
                  file=sys.stderr)
            return 1
        time.sleep(0.1)
    dump(app, 0, [MAX_OBJECTS])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
