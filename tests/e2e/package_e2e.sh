#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# The Debian package as a user gets it: built by CPack (the package_build test), its dependencies
# taken from the libraries the program links, unpacked into a root of its own, started through the
# link on the PATH, and run by a user who cannot write beside the program, whose settings then go
# to the config folder.
source "$(dirname "$0")/lib.sh"
: "${LSG_SOURCE_DIR:?LSG_SOURCE_DIR must point at the source folder}"
: "${LSG_TEST_PACKAGE_DIR:?LSG_TEST_PACKAGE_DIR must point at the built package}"
e2e_setup

# --- The package ---------------------------------------------------------------------------------
pkgdir="$LSG_TEST_PACKAGE_DIR"
deb="$pkgdir/loadspire-gauge_1.7.0_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || e2e_fail "no $(basename "$deb") in: $(ls "$pkgdir")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = loadspire-gauge ] || e2e_fail "package name $(field Package)"
[ "$(field Version)" = 1.7.0 ] || e2e_fail "version $(field Version)"
[ "$(field Section)" = utils ] || e2e_fail "section $(field Section)"
[ -n "$(field Maintainer)" ] || e2e_fail "no maintainer"
depends=$(field Depends)
has_dep() { tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qx "$1"; }
for p in libqt6core6 libqt6gui6 libqt6widgets6; do
    has_dep "$p" || e2e_fail "Depends lacks $p: $depends"
done
# Web pages and the licence text open through xdg-open; Qt's own texts come translated.
[ "$(field Recommends)" = "xdg-utils, qt6-translations-l10n" ] ||
    e2e_fail "Recommends: $(field Recommends)"

# Only the program and its files: no test builds, no demos.
listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
if grep -Eq 'aboutdemo|localserver|/tests?/' <<<"$listing"; then
    e2e_fail "the package carries build-only files: $listing"
fi

root="$E2E_TMP/root"
dpkg -x "$deb" "$root"
# Every library the program and its network helper ask for by name comes with a package listed
# in Depends (libcurl with libcurl4, and so on), so an install on a bare system runs.
progfile="$root/usr/libexec/loadspire/loadspire"
helperfile="$root/usr/libexec/loadspire/loadspire-post"
[ -f "$progfile" ] || e2e_fail "no program in $(dirname "$progfile")"
[ -x "$helperfile" ] || e2e_fail "no network helper beside the program: $(ls "$(dirname "$progfile")")"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for file in "$progfile" "$helperfile"; do
    for lib in $(objdump -p "$file" | awk '$1 == "NEEDED" {print $2}'); do
        owner=$(dpkg -S "*/$multiarch/$lib" 2>/dev/null | head -n1 | sed 's/[:,].*//')
        [ -n "$owner" ] || e2e_fail "no Debian package holds $lib"
        has_dep "$owner" || e2e_fail "$lib comes with $owner, which Depends lacks: $depends"
    done
done
# The network libraries load only in the helper, never in the gadget's own process.
if objdump -p "$progfile" | awk '$1 == "NEEDED" {print $2}' | grep -E '^lib(curl|ssl|crypto)'; then
    e2e_fail "the program itself links the network libraries"
fi

# The translations, beside the copies embedded in the program.
for lang in de es fr tr; do
    [ -s "$root/usr/share/loadspire/translations/loadspire_$lang.qm" ] ||
        e2e_fail "no $lang translation installed"
done

# --- Files where the desktop entry and the About box look for them --------------------------------
desktop="$root/usr/share/applications/loadspire.desktop"
[ -f "$desktop" ] || e2e_fail "no desktop entry"
exec_cmd=$(sed -n 's/^Exec=//p' "$desktop" | awk '{print $1}')
icon=$(sed -n 's/^Icon=//p' "$desktop")
link="$root/usr/bin/$exec_cmd"
[ -L "$link" ] || e2e_fail "usr/bin/$exec_cmd is not a link"
case "$(readlink "$link")" in
/*) e2e_fail "usr/bin/$exec_cmd points at an absolute path: $(readlink "$link")" ;;
esac
target=$(readlink -f "$link")
[ "$target" = "$(readlink -f "$progfile")" ] || e2e_fail "usr/bin/$exec_cmd leads to $target"
[ -x "$target" ] || e2e_fail "$target is not executable"
# The About box opens license.txt from the folder of the resolved executable.
cmp -s "$(dirname "$target")/license.txt" "$LSG_SOURCE_DIR/about/license.txt" ||
    e2e_fail "no licence text beside $target"

for size in 16 22 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ -f "$png" ] || e2e_fail "no ${size}x${size} icon"
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] ||
        e2e_fail "the ${size}x${size} icon is $(identify -format '%wx%h' "$png")"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || e2e_fail "no scalable icon"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml)
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
    e2e_fail "the metadata does not launch $(basename "$desktop")"

# --- Started through the link on the PATH ------------------------------------------------------------
PATH="$root/usr/bin:$PATH" "$exec_cmd" >"$E2E_TMP/program.log" 2>&1 &
pid=$!
win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)
e2e_wait_still "$win" >/dev/null
e2e_screenshot package-run
e2e_alive "$pid" || e2e_fail "the program ended"
kill "$pid"
wait "$pid" 2>/dev/null || true

# --- Run by a user who cannot write beside the program -------------------------------------------
progdir=$(dirname "$target")
uhome="$E2E_TMP/userhome"
uruntime="$E2E_TMP/userruntime"
# A desktop session has made the user's ~/.config long before; the program adds its own folders.
mkdir -p "$uhome/.config" "$uruntime"
chmod 700 "$uruntime"
if [ "$(id -u)" = 0 ]; then
    user=nobody
    getent passwd "$user" >/dev/null || e2e_fail "no user $user"
    # The user reaches the unpacked root through the test's private folder.
    chmod 755 "$E2E_TMP"
    chown -R "$user:" "$uhome" "$uruntime"
    as_user() { runuser -u "$user" -- "$@"; }
else
    # Without root the folder itself is made read-only; the cleanup must be able to remove it.
    chmod a-w "$progdir"
    trap 'chmod u+w "$progdir"; e2e_cleanup' EXIT
    as_user() { "$@"; }
fi
as_user test -w "$progdir" && e2e_fail "the user may write to $progdir"

# XDG_CONFIG_HOME is left unset: the config folder is the one under the user's home.
as_user env -u XDG_CONFIG_HOME HOME="$uhome" XDG_RUNTIME_DIR="$uruntime" DISPLAY="$DISPLAY" \
    QT_QPA_PLATFORM=xcb sh -c 'echo $$ >"$HOME/pid"; exec "$0"' "$link" \
    >"$E2E_TMP/user-program.log" 2>&1 &
win=$(e2e_wait_window '^KALDERN - Loadspire Gauge$' 15)
upid=$(cat "$uhome/pid")
E2E_EXTRA_PIDS="$upid"

# The window manager may still be building the frame the gadget is placed by.
e2e_wait_default_place "$win"
read -r cx cy < <(e2e_window_pos "$win")
read -r w h < <(e2e_window_size "$win")
lx=$((cx + w / 2))
ly=$((cy + h - 8))
e2e_pointer "$lx" "$ly"
xdotool mousedown 1
for step in 1 2 3; do
    e2e_pointer $((lx - step * 10)) $((ly - step * 10))
    sleep 0.1
done
xdotool mouseup 1
e2e_wait_until 10 e2e_window_at "$win" $((cx - 30)) $((cy - 30)) || true
read -r nx ny < <(e2e_window_pos "$win")

ini="$uhome/.config/KALDERN/Loadspire Gauge/settings.ini"
e2e_wait_until 10 test -f "$ini" || e2e_fail "no settings.ini in the user's config folder: $(find "$uhome" -print)"
left=$(e2e_ini_value "$ini" Left)
top=$(e2e_ini_value "$ini" Top)
[ $((cx - nx)) = 30 ] && [ $((cy - ny)) = 30 ] || e2e_fail "moved by $((nx - cx)),$((ny - cy))"
# Left/Top place the window's frame; the client area lies inside it.
[[ "$left" =~ ^-?[0-9]+$ ]] && [ $((nx - left)) -ge 0 ] && [ $((nx - left)) -le 10 ] ||
    e2e_fail "Left=$left for a client area at x $nx"
[[ "$top" =~ ^-?[0-9]+$ ]] && [ $((ny - top)) -ge 0 ] && [ $((ny - top)) -le 40 ] ||
    e2e_fail "Top=$top for a client area at y $ny"
[ "$(stat -c %U "$ini")" = "$(as_user id -un)" ] || e2e_fail "settings.ini belongs to $(stat -c %U "$ini")"
for f in settings.ini chk.tmp; do
    [ -e "$progdir/$f" ] && e2e_fail "$f beside the program"
done
e2e_screenshot package-user-run

kill "$upid"
e2e_wait_ended "$upid" "the program did not end on SIGTERM"
# Nothing left for the cleanup to end (it stops at a pid that is gone).
E2E_EXTRA_PIDS=""
echo "package e2e passed"
