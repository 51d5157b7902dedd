#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# network_libs_test.sh PROGRAM HELPER: the gadget's own process loads none of the network and
# TLS libraries (directly or through another library); only its network helper does.
set -euo pipefail
program="${1:?usage: network_libs_test.sh PROGRAM HELPER}"
helper="${2:?usage: network_libs_test.sh PROGRAM HELPER}"
pattern='^(libcurl|libssl|libcrypto|libgnutls|libnghttp2|libssh2?|libldap|libkrb5|librtmp)[.-]'

libs() { ldd "$1" | awk '{print $1}' | sed 's|.*/||'; }

# A build whose curl is linked in statically would pass for the wrong reason.
if ! libs "$helper" | grep -Eq '^libcurl'; then
    echo "network libraries: the helper links no shared libcurl; nothing to compare"
    exit 0
fi
found=$(libs "$program" | grep -E "$pattern" || true)
if [ -n "$found" ]; then
    echo "FAIL: $(basename "$program") loads network libraries:" $found >&2
    exit 1
fi
echo "network libraries: only in $(basename "$helper"): $(libs "$helper" | grep -Ec "$pattern") of them"
