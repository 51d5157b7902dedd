#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Builds the Debian package from the built tree, once, for every test that looks at it.
set -euo pipefail
: "${LSG_BINARY_DIR:?LSG_BINARY_DIR must point at the build folder}"
: "${LSG_TEST_PACKAGE_DIR:?LSG_TEST_PACKAGE_DIR must name the folder for the package}"
: "${LSG_CPACK:=cpack}"
rm -rf "$LSG_TEST_PACKAGE_DIR"
mkdir -p "$LSG_TEST_PACKAGE_DIR"
log="$LSG_TEST_PACKAGE_DIR/cpack.log"
if ! (cd "$LSG_BINARY_DIR" && "$LSG_CPACK" -G DEB -B "$LSG_TEST_PACKAGE_DIR") >"$log" 2>&1; then
    cat "$log" >&2
    echo "FAIL: cpack failed" >&2
    exit 1
fi
ls "$LSG_TEST_PACKAGE_DIR"/*.deb
