#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# lintian_test.sh DIR: lintian on the one package in DIR reports nothing, down to its
# informational and pedantic tags. The overrides shipped in the package are honoured, and an
# override that no longer matches anything is reported as a tag of its own.
set -euo pipefail
dir="${1:?usage: lintian_test.sh PACKAGE-DIR}"
shopt -s nullglob
debs=("$dir"/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one package in $dir, found ${#debs[@]}" >&2; exit 1; }

rc=0
# lintian says on stderr that it runs as root; only its report on stdout counts.
report=$(lintian --display-info --pedantic --fail-on error,warning,info,pedantic "${debs[0]}" \
    2>/dev/null) || rc=$?
tags=$(grep -E '^[EWIPXC]: ' <<<"$report" || true)
if [ -n "$tags" ] || [ $rc -ne 0 ]; then
    echo "FAIL: lintian (exit status $rc) reports:" >&2
    echo "$report" >&2
    exit 1
fi
echo "lintian: no tags on $(basename "${debs[0]}")"
