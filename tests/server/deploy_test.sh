#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The deployment files pass their own tools' checks: the systemd unit `systemd-analyze verify`
# (with the built server in place of the installed one) and its hardening `systemd-analyze
# security`; the nginx site `nginx -t` inside a throwaway configuration, with a self-signed
# certificate made here.
set -uo pipefail
server=${1:?usage: deploy_test.sh path/to/loadspire-server path/to/deploy-folder}
deploy=${2:?usage: deploy_test.sh path/to/loadspire-server path/to/deploy-folder}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in systemd-analyze nginx openssl; do
    command -v "$tool" >/dev/null ||
        fail "$tool is missing: ./scripts/deps installs it (packages systemd, nginx-light, openssl)"
done

sed "s|/usr/local/bin/loadspire-server|$server|" "$deploy/loadspire-server.service" \
    >"$tmp/loadspire-server.service"
grep -q "ExecStart=$server " "$tmp/loadspire-server.service" || fail "no ExecStart to point at the build"
# Warnings (an unknown or misspelt key) are failures too.
out=$(systemd-analyze verify "$tmp/loadspire-server.service" 2>&1) || fail "verify: $out"
[ -z "$out" ] || fail "verify: $out"
security=$(systemd-analyze security --offline=true "$tmp/loadspire-server.service" 2>&1) ||
    fail "security: $security"
level=$(sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\) .*/\1/p' <<<"$security")
[ -n "$level" ] || fail "security printed no exposure level: $security"
awk -v l="$level" 'BEGIN { exit !(l <= 2.0) }' || fail "exposure level $level (want 2.0 or less)"

openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=loadspire.example.org \
    -keyout "$tmp/privkey.pem" -out "$tmp/fullchain.pem" >/dev/null 2>&1 || fail "no certificate"
sed "s|/etc/letsencrypt/live/loadspire.example.org|$tmp|" "$deploy/nginx-loadspire.conf" >"$tmp/site.conf"
grep -q "ssl_certificate $tmp/fullchain.pem;" "$tmp/site.conf" || fail "certificate path not replaced"
mkdir -p "$tmp/logs" "$tmp/temp"
cat >"$tmp/nginx.conf" <<CONF
pid $tmp/nginx.pid;
error_log $tmp/logs/error.log;
events {}
http {
    access_log off;
    client_body_temp_path $tmp/temp/body;
    proxy_temp_path $tmp/temp/proxy;
    fastcgi_temp_path $tmp/temp/fastcgi;
    uwsgi_temp_path $tmp/temp/uwsgi;
    scgi_temp_path $tmp/temp/scgi;
    include $tmp/site.conf;
}
CONF
out=$(nginx -t -q -p "$tmp" -e "$tmp/logs/error.log" -c "$tmp/nginx.conf" 2>&1) || fail "nginx -t: $out"
echo "deployment files: ok (exposure level $level)"
