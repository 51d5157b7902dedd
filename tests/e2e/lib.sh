# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Shared steps of the whole-program tests: a private X display with a window manager and a tray
# host, a private home, the program copied into a folder of its own, and helpers to find and
# drive its windows. Source it; call e2e_setup first.

set -euo pipefail

: "${LSG_BINARY_DIR:?LSG_BINARY_DIR must point at the build folder}"

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "${E2E_TMP:-}" ]; then
        import -window root "$E2E_TMP/failure.png" 2>/dev/null &&
            echo "screenshot of the failure: $E2E_TMP/failure.png" >&2
    fi
    exit 1
}

# For measurements: other gadgets keep the same libraries' pages warm, and each of them loads the
# machine, so a run beside them reads wrong.
e2e_warn_other_gadgets() {
    if pgrep -x loadspire >/dev/null; then
        echo "warning: other loadspire processes are running ($(pgrep -x loadspire | paste -sd ' '));" \
            "this run's figures are not comparable" >&2
    fi
}

e2e_cleanup() {
    local pids
    pids=$(jobs -p)
    [ -n "$pids" ] && kill $pids 2>/dev/null || true
    [ -n "${E2E_EXTRA_PIDS:-}" ] && kill $E2E_EXTRA_PIDS 2>/dev/null || true
    wait 2>/dev/null || true
    if [ "${E2E_KEEP:-0}" != 1 ] && [ -n "${E2E_TMP:-}" ]; then
        rm -rf "$E2E_TMP"
    fi
}

# e2e_wait_until SECONDS COMMAND [ARG...]: runs the command every 100 ms until it succeeds, and
# fails (1) when it still does not after SECONDS' worth of tries (on a loaded machine the tries
# take longer, and so does the wait). Every wait of the tests is this one.
e2e_wait_until() {
    local tries=$(($1 * 10)) i
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

# e2e_wait_display_file: waits until Xvfb, Xephyr or Xorg has written its display number.
e2e_wait_display_file() {
    e2e_wait_until 10 test -s "$E2E_TMP/display" && return 0
    if [ -f "$E2E_TMP/xorg.out" ]; then
        tail -n 20 "$E2E_TMP/xorg.out" >&2
        e2e_fail "Xorg did not start"
    fi
    e2e_fail "Xvfb did not start"
}

# e2e_xorg_randr N: starts Xorg with the dummy video driver, whose RandR outputs are monitors
# that Qt sees: N of them, 1280x800 each, side by side, the first primary. Xvfb offers RandR
# with one monitor only. Xorg is started as root, as the tests run here and in CI, with a
# configuration of its own, no input devices (xdotool's XTEST devices still work) and no
# system configuration.
e2e_xorg_randr() {
    local n="$1" i conf="$E2E_TMP/xorg.conf" dfd
    [ "$(id -u)" = 0 ] || e2e_fail "randr=$n needs root: it starts Xorg with the dummy driver"
    command -v Xorg >/dev/null || e2e_fail "randr=$n needs Xorg and its dummy driver (scripts/deps)"
    mkdir -p "$E2E_TMP/xorg.conf.d"
    {
        printf 'Section "ServerFlags"\n    Option "AutoAddDevices" "false"\n'
        printf '    Option "AutoEnableDevices" "false"\n    Option "DontVTSwitch" "true"\nEndSection\n'
        printf 'Section "Device"\n    Identifier "dummy"\n    Driver "dummy"\n    VideoRam 131072\n'
        for i in $(seq 0 $((n - 1))); do
            printf '    Option "Monitor-DUMMY%d" "monitor%d"\n' "$i" "$i"
        done
        printf 'EndSection\n'
        # Every output but the first needs a monitor section that enables it and says where.
        for i in $(seq 0 $((n - 1))); do
            printf 'Section "Monitor"\n    Identifier "monitor%d"\n' "$i"
            printf '    HorizSync 5.0 - 1000.0\n    VertRefresh 5.0 - 200.0\n'
            printf '    Modeline "1280x800" 83.50 1280 1352 1480 1680 800 803 809 831\n'
            printf '    Option "PreferredMode" "1280x800"\n    Option "Enable" "true"\n'
            if [ "$i" = 0 ]; then
                printf '    Option "Primary" "true"\n'
            else
                printf '    Option "RightOf" "DUMMY%d"\n' $((i - 1))
            fi
            printf 'EndSection\n'
        done
        printf 'Section "Screen"\n    Identifier "screen"\n    Device "dummy"\n'
        printf '    Monitor "monitor0"\n    DefaultDepth 24\n'
        printf '    SubSection "Display"\n        Depth 24\n        Virtual %d 800\n' $((1280 * n))
        printf '    EndSubSection\nEndSection\n'
    } >"$conf"
    exec {dfd}>"$E2E_TMP/display"
    Xorg -displayfd "$dfd" -config "$conf" -configdir "$E2E_TMP/xorg.conf.d" -noreset \
        -nolisten tcp -novtswitch -sharevts -logfile "$E2E_TMP/xorg.log" \
        >"$E2E_TMP/xorg.out" 2>&1 &
    exec {dfd}>&-
    E2E_XSERVER_PID=$!
    E2E_MONITORS=()
    for i in $(seq 0 $((n - 1))); do
        E2E_MONITORS+=("$((1280 * i)) 0 1280 800")
    done
}

# e2e_setup [notray] [screens=N | randr=N] [scale=F] [wm=openbox|xfwm4]: display, window
# manager (openbox unless told; xfwm4 reads its settings over a session bus, which it is given)
# and (unless "notray") a tray host. With screens=N the display has N monitors of 1280x800 side by side
# (Xinerama), the first primary; with randr=N it has N such monitors as RandR outputs, the way
# Qt takes them from a real desktop (see e2e_xorg_randr). With scale=F the desktop asks
# programs to scale by F (Xft.dpi = 96 F, as desktops' scaling settings do). The monitors'
# rectangles ("X Y W H" in the window system's pixels) are in E2E_MONITORS.
e2e_setup() {
    local tray=1 screens=1 randr=0 scale="" arg
    E2E_WM=openbox
    for arg in "$@"; do
        case "$arg" in
            notray) tray=0 ;;
            wm=openbox | wm=xfwm4) E2E_WM=${arg#wm=} ;;
            screens=*) screens=${arg#screens=} ;;
            randr=*) randr=${arg#randr=} ;;
            scale=*) scale=${arg#scale=} ;;
            *) e2e_fail "unknown e2e_setup option $arg" ;;
        esac
    done
    E2E_TMP=$(mktemp -d /tmp/lsg-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset QT_QPA_PLATFORM
    export QT_QPA_PLATFORM=xcb
    # The texts the tests look for are English, whatever the language of whoever runs them.
    unset LANGUAGE LC_ALL LC_MESSAGES
    export LANG=C.UTF-8

    E2E_MONITORS=("0 0 1280 800")
    # -displayfd picks a free display number itself, so parallel tests never collide.
    if [ "$randr" -gt 0 ]; then
        e2e_xorg_randr "$randr"
    elif [ "$screens" -gt 1 ]; then
        exec {dfd}>"$E2E_TMP/display"
        # Xvfb lays its Xinerama screens over one another; Xephyr, inside an Xvfb as large as
        # the whole desktop, puts them side by side.
        Xvfb -displayfd "$dfd" -screen 0 $((1280 * screens))x800x24 -nolisten tcp \
            >"$E2E_TMP/xvfb-host.log" 2>&1 &
        exec {dfd}>&-
        e2e_wait_display_file
        mv "$E2E_TMP/display" "$E2E_TMP/display-host"
        local layout=(+xinerama) n
        E2E_MONITORS=()
        for n in $(seq 0 $((screens - 1))); do
            layout+=(-screen "1280x800+$((1280 * n))+0")
            E2E_MONITORS+=("$((1280 * n)) 0 1280 800")
        done
        exec {dfd}>"$E2E_TMP/display"
        # Without RandR, whose monitor list would hold the first screen only, Qt takes the
        # Xinerama heads.
        DISPLAY=":$(head -n1 "$E2E_TMP/display-host")" Xephyr -displayfd "$dfd" "${layout[@]}" \
            -extension RANDR -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        exec {dfd}>&-
    else
        exec {dfd}>"$E2E_TMP/display"
        Xvfb -displayfd "$dfd" -screen 0 1280x800x24 -nolisten tcp >"$E2E_TMP/xvfb.log" 2>&1 &
        exec {dfd}>&-
    fi
    e2e_wait_display_file
    export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
    [ -z "$scale" ] || e2e_scale "$scale"

    e2e_start_wm "$E2E_WM"
    if [ "$tray" = 1 ]; then
        trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
            >"$E2E_TMP/trayer.log" 2>&1 &
    fi
    # The program starts only once the window manager and the tray host own their selections,
    # so what it finds never depends on how fast they started.
    local selections=(WM_S0)
    [ "$tray" = 1 ] && selections+=(_NET_SYSTEM_TRAY_S0)
    "$LSG_BINARY_DIR/tests/xselection_wait" 30 "${selections[@]}" ||
        e2e_fail "the window manager or the tray host did not start"
    e2e_wait_until 10 xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 ||
        e2e_fail "the window manager does not say it runs"
}

# e2e_start_wm openbox|xfwm4: starts that window manager (xfwm4 with a session bus, which it
# reads its settings over); its pid is in E2E_WM_PID. It owns WM_S0 a little later.
e2e_start_wm() {
    E2E_WM="$1"
    if [ "$E2E_WM" = xfwm4 ]; then
        e2e_session_bus
        xfwm4 --compositor=off --sm-client-disable >"$E2E_TMP/xfwm4.log" 2>&1 &
    else
        openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    fi
    E2E_WM_PID=$!
}

# e2e_switch_wm openbox|xfwm4: ends the running window manager and starts that one in its place,
# which takes over the windows there are; waits until it owns WM_S0.
e2e_switch_wm() {
    kill "$E2E_WM_PID"
    wait "$E2E_WM_PID" 2>/dev/null || true
    e2e_start_wm "$1"
    "$LSG_BINARY_DIR/tests/xselection_wait" 60 WM_S0 || e2e_fail "$1 did not start"
    e2e_wait_until 60 e2e_wm_named "$1" || e2e_fail "$1 did not name itself on the root window"
}

# e2e_wm_named NAME: true when the window manager that the root names is NAME.
e2e_wm_named() {
    local check
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*# *//p')
    [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -qi "\"$1\""
}

# e2e_scale F: asks programs started from now on to scale by F, as a desktop's scaling setting
# does (Xft.dpi = 96 F in the display's resources, which programs read when they start).
e2e_scale() {
    awk -v f="$1" 'BEGIN { printf "Xft.dpi: %d\n", 96 * f + 0.5 }' | xrdb -nocpp -merge - ||
        e2e_fail "cannot set the desktop's scale $1"
}

# e2e_workarea: prints the current desktop's work area as the window manager publishes it,
# "X Y W H".
e2e_workarea() {
    local desktop
    desktop=$(xprop -root _NET_CURRENT_DESKTOP 2>/dev/null | sed -n 's/^[^=]*= *//p')
    xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/^[^=]*= *//p' | tr -d , |
        awk -v d="${desktop:-0}" '{ print $(4 * d + 1), $(4 * d + 2), $(4 * d + 3), $(4 * d + 4) }'
}

# e2e_panel EDGE MONITOR THICKNESS [--plain]: a desktop panel THICKNESS pixels thick along the
# EDGE (top, bottom, left or right) of monitor MONITOR (an index into E2E_MONITORS): a dock
# window that reserves its band with _NET_WM_STRUT_PARTIAL, or with --plain the whole edge with
# _NET_WM_STRUT. Waits until the window manager manages it and, under openbox, until its work
# area has taken it in (xfwm4 keeps the whole root as its work area when it has several
# monitors); the panel's pid is in E2E_PANEL_PID.
e2e_panel() {
    local edge="$1" monitor="$2" thick="$3" mx my mw mh x y w h
    read -r mx my mw mh <<<"${E2E_MONITORS[$monitor]}"
    case "$edge" in
        top) x=$mx y=$my w=$mw h=$thick ;;
        bottom) x=$mx y=$((my + mh - thick)) w=$mw h=$thick ;;
        left) x=$mx y=$my w=$thick h=$mh ;;
        right) x=$((mx + mw - thick)) y=$my w=$thick h=$mh ;;
        *) e2e_fail "unknown panel edge $edge" ;;
    esac
    E2E_WORKAREA_BEFORE=$(e2e_workarea)
    "$LSG_BINARY_DIR/tests/dock_panel" "$edge" "$x" "$y" "$w" "$h" "${@:4}" \
        >>"$E2E_TMP/panel.log" 2>&1 &
    E2E_PANEL_PID=$!
    # Up to a minute: a window manager on a machine loaded many times over takes its time.
    e2e_wait_until 60 e2e_panel_taken_in ||
        e2e_fail "the window manager did not take in the $edge panel (work area $(e2e_workarea))"
}

# e2e_panel_taken_in: true once the window manager manages the panel E2E_PANEL_PID and, under
# openbox, its work area differs from E2E_WORKAREA_BEFORE.
e2e_panel_taken_in() {
    local id
    e2e_alive "$E2E_PANEL_PID" || e2e_fail "the panel ended: $(tail -n 5 "$E2E_TMP/panel.log")"
    id=$(xdotool search --pid "$E2E_PANEL_PID" --name '^lsg-dock-panel$' 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && xprop -root _NET_CLIENT_LIST | grep -qiw "$(printf '0x%x' "$id")" &&
        { [ "$E2E_WM" != openbox ] || [ "$(e2e_workarea)" != "$E2E_WORKAREA_BEFORE" ]; }
}

# e2e_session_bus: a session bus private to the test, once.
e2e_session_bus() {
    [ -z "${E2E_SESSION_BUS_PID:-}" ] || return 0
    dbus-daemon --session --nofork --nopidfile --print-address=3 \
        3>"$E2E_TMP/dbus.address" >"$E2E_TMP/dbus.log" 2>&1 &
    E2E_SESSION_BUS_PID=$!
    E2E_EXTRA_PIDS="${E2E_EXTRA_PIDS:-} $E2E_SESSION_BUS_PID"
    e2e_wait_until 60 test -s "$E2E_TMP/dbus.address" || e2e_fail "the session bus did not start"
    export DBUS_SESSION_BUS_ADDRESS
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_TMP/dbus.address")
}

# e2e_accessibility: what a screen reader needs, private to the test: a session bus, the
# accessibility bus beside it, and Qt's bridge to it turned on for every program started from
# now on. Read a program's accessible tree with atspi_tree.py.
e2e_accessibility() {
    e2e_session_bus
    # Started here rather than by the bus, so that it ends with the test.
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    E2E_EXTRA_PIDS="$E2E_EXTRA_PIDS $!"
    e2e_wait_until 60 e2e_accessibility_bus_up || e2e_fail "the accessibility bus did not start"
    # Qt 6.4 talks to the accessibility bus only when a screen reader is said to run, or when
    # told to always.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# e2e_accessibility_bus_up: true once the accessibility bus answers on the session bus.
e2e_accessibility_bus_up() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1
}

# e2e_install_program [executable]: copies the program, its network helper and its licence into a
# folder of its own.
e2e_install_program() {
    local exe="${1:-loadspire}"
    E2E_APP="$E2E_TMP/app"
    mkdir -p "$E2E_APP"
    cp "$LSG_BINARY_DIR/$exe" "$E2E_APP/loadspire"
    cp "$LSG_BINARY_DIR/loadspire-post" "$E2E_APP/loadspire-post"
    [ -f "$LSG_BINARY_DIR/license.txt" ] && cp "$LSG_BINARY_DIR/license.txt" "$E2E_APP/"
    return 0
}

# e2e_start_program: starts the installed copy; its pid is in E2E_PID.
e2e_start_program() {
    "$E2E_APP/loadspire" >"$E2E_TMP/program.log" 2>&1 &
    E2E_PID=$!
}

# e2e_pointer X Y [XDOTOOL-COMMAND...]: moves the pointer to X Y, waits until it is there, then
# runs the rest as an xdotool command line. xdotool's --sync waits for the pointer to move, so it
# would sit out its 15 s timeout when the pointer is there already.
e2e_pointer() {
    local x="$1" y="$2"
    shift 2
    if [ "$(xdotool getmouselocation | awk '{print $1, $2}')" != "x:$x y:$y" ]; then
        xdotool mousemove --sync "$x" "$y"
    fi
    [ $# -eq 0 ] || xdotool "$@"
}

# e2e_wait_window PATTERN [seconds]: prints the id of the first visible window whose name matches,
# leaving out override-redirect ones (the tray icon, tooltips and menus share the program's name).
e2e_wait_window() {
    E2E_FOUND=""
    e2e_wait_until "${2:-10}" e2e_find_window "$1" || e2e_fail "no visible window named $1"
    echo "$E2E_FOUND"
}

# e2e_find_window PATTERN: true when a window e2e_wait_window would take is there; its id is in
# E2E_FOUND.
e2e_find_window() {
    local w
    for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
        if ! xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes'; then
            E2E_FOUND=$w
            return 0
        fi
    done
    return 1
}

# e2e_window_pos ID: prints "X Y" of the window's client area on the screen.
e2e_window_pos() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

# e2e_frame_pos ID: prints "X Y" of the frame the window manager put around the window (of its
# client area when it has none), from the window's _NET_FRAME_EXTENTS.
e2e_frame_pos() {
    local x y l r t b
    read -r x y < <(e2e_window_pos "$1")
    read -r l r t b < <(e2e_frame_extents "$1")
    echo "$((x - l)) $((y - t))"
}

# e2e_frame_extents ID: prints "LEFT RIGHT TOP BOTTOM" of the window's frame (0s when none).
e2e_frame_extents() {
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/^[^=]*= *//p' | tr -d ,)
    echo "${extents:-0 0 0 0}"
}

# e2e_window_report ID: what the window manager and the program made of the window, for a failure.
e2e_window_report() {
    xwininfo -id "$1" 2>&1 | sed -n 's/^ *\(Absolute\|Relative\|Width\|Height\)/  \1/p'
    xprop -id "$1" _NET_FRAME_EXTENTS _NET_WM_STATE WM_NORMAL_HINTS 2>&1 | sed 's/^/  /'
    echo "  the window's parents: $(xwininfo -id "$1" -tree 2>&1 | sed -n 's/^ *Parent window id: //p')"
    [ -f "$E2E_TMP/program.log" ] && tail -n 20 "$E2E_TMP/program.log" | sed 's/^/  program: /'
    [ -f "$E2E_TMP/openbox.log" ] && tail -n 20 "$E2E_TMP/openbox.log" | sed 's/^/  openbox: /'
    return 0
}

# e2e_wait_frame_at ID X Y: waits (up to 30 s, as a loaded machine's window manager may take that
# long) until the window's frame is at X Y and has come to rest there.
e2e_wait_frame_at() {
    local fx fy
    e2e_wait_until 30 e2e_frame_is_at "$@" || true
    e2e_wait_still "$1" >/dev/null
    read -r fx fy < <(e2e_frame_pos "$1")
    [ "$fx $fy" = "$2 $3" ] ||
        e2e_fail "frame at $fx,$fy instead of $2,$3:"$'\n'"$(e2e_window_report "$1")"
}

# e2e_frame_is_at ID X Y: true while the window's frame is at X Y.
e2e_frame_is_at() {
    [ "$(e2e_frame_pos "$1")" = "$2 $3" ]
}

# e2e_wait_default_place ID [SLACK]: waits like e2e_wait_frame_at for the place of a gadget with no
# saved place: its frame in the bottom-right corner of the work area, or within SLACK pixels of it
# (a scaled program places its frame on whole logical pixels).
e2e_wait_default_place() {
    local slack="${2:-0}" x y
    e2e_wait_until 30 e2e_at_default_place "$1" "$slack" || true
    if [ "$slack" = 0 ]; then
        e2e_wait_frame_at "$1" "$E2E_DEFAULT_X" "$E2E_DEFAULT_Y"
        return
    fi
    e2e_wait_still "$1" >/dev/null
    e2e_at_default_place "$1" "$slack" || {
        read -r x y < <(e2e_frame_pos "$1")
        e2e_fail "frame at $x,$y, not within $slack px of $E2E_DEFAULT_X,$E2E_DEFAULT_Y:"$'\n'"$(e2e_window_report "$1")"
    }
}

# e2e_at_default_place ID SLACK: true while the window's frame is within SLACK pixels of the
# bottom-right corner of the work area; that corner's frame place is in E2E_DEFAULT_X and _Y.
e2e_at_default_place() {
    local wx wy ww wh x y w h l r t b ex ey
    # One work area per desktop; the first desktop's.
    read -r wx wy ww wh _ < <(xprop -root _NET_WORKAREA | sed -n 's/^[^=]*= *//p' | tr -d ,)
    read -r x y < <(e2e_window_pos "$1")
    read -r w h < <(e2e_window_size "$1")
    read -r l r t b < <(e2e_frame_extents "$1")
    E2E_DEFAULT_X=$((wx + ww - w - l - r))
    E2E_DEFAULT_Y=$((wy + wh - h - t - b))
    ex=$((x - l - E2E_DEFAULT_X))
    ey=$((y - t - E2E_DEFAULT_Y))
    [ "${ex#-}" -le "$2" ] && [ "${ey#-}" -le "$2" ]
}

# e2e_wait_still ID: prints "X Y" of the window once it has held its place for 200 ms (up to 4 s):
# for windows whose final place the test does not know. Where it does, wait for that place.
e2e_wait_still() {
    E2E_LAST_POS=""
    e2e_wait_until 2 e2e_held_place "$1" || true
    echo "$E2E_LAST_POS"
}

# e2e_held_place ID: true when the window is where the previous call saw it (E2E_LAST_POS), 200 ms
# after that look.
e2e_held_place() {
    local before="$E2E_LAST_POS"
    sleep 0.1
    E2E_LAST_POS=$(e2e_window_pos "$1")
    [ "$E2E_LAST_POS" = "$before" ]
}

# e2e_has_state ID STATE: true while the window's _NET_WM_STATE holds STATE (e.g.
# _NET_WM_STATE_ABOVE).
e2e_has_state() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q -w "$2"
}

# e2e_lacks_state ID STATE: true while it does not.
e2e_lacks_state() {
    ! e2e_has_state "$@"
}

# e2e_viewable ID: true while the window is mapped and not hidden (minimised) by the window manager.
e2e_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' &&
        e2e_lacks_state "$1" _NET_WM_STATE_HIDDEN
}

# e2e_not_viewable ID: true while it is not.
e2e_not_viewable() {
    ! e2e_viewable "$1"
}

# e2e_window_at ID X Y: true while the window's client area is at X Y.
e2e_window_at() {
    [ "$(e2e_window_pos "$1")" = "$2 $3" ]
}

# e2e_window_size ID: prints "W H" of the window's client area.
e2e_window_size() {
    xwininfo -id "$1" | awk '/^ *Width:/ {w=$NF} /^ *Height:/ {h=$NF} END {print w, h}'
}

# e2e_ini_value FILE KEY: prints the value of KEY in FILE (empty when absent).
e2e_ini_value() {
    sed -n "s/^$2=//p" "$1" | tr -d '\r' | head -n1
}

# e2e_wait_ini_value FILE KEY EXPECTED [seconds]: prints KEY's value once it is EXPECTED, or the
# last value seen when the time is up.
e2e_wait_ini_value() {
    e2e_wait_until "${4:-10}" e2e_ini_value_is "$1" "$2" "$3" || true
    e2e_ini_value "$1" "$2"
}

# e2e_ini_value_is FILE KEY EXPECTED: true while KEY's value in FILE is EXPECTED.
e2e_ini_value_is() {
    [ "$(e2e_ini_value "$1" "$2")" = "$3" ]
}

# e2e_tray_icon_pos: prints "X Y" of the centre of the program's icon in the tray host, waiting
# up to 30 seconds for it to dock.
e2e_tray_icon_pos() {
    E2E_FOUND=""
    E2E_TRAY_ICON_BOX=""
    if ! e2e_wait_until 30 e2e_tray_icon_settled; then
        xwininfo -root -tree | grep -i -E 'trayer|panel|loadspire' >&2 || true
        e2e_fail "no icon of the program settled in the tray: ${E2E_FOUND:-none docked}"
    fi
    echo "$E2E_FOUND" | awk '{
        n = split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
        print int(a[2] + g[1] / 2), int(a[3] + g[2] / 2) }'
}

# e2e_tray_icon_settled: true once the program's icon has docked, lies wholly on the screen and is
# where the previous call found it: the tray lays out a new icon after it docks (trayer first
# places it past the screen's edge and then grows), so its first place may not be its last.
e2e_tray_icon_settled() {
    local box root w h x y rw rh
    e2e_find_tray_icon || return 1
    box=$(echo "$E2E_FOUND" | awk '{ split($(NF-1), g, /[x+]/); split($NF, a, /\+/);
        print g[1], g[2], a[2], a[3] }')
    root=$(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
    read -r w h x y <<<"$box"
    read -r rw rh <<<"$root"
    [ $((x + w)) -le "$rw" ] && [ $((y + h)) -le "$rh" ] || return 1
    [ "$box" = "$E2E_TRAY_ICON_BOX" ] && return 0
    E2E_TRAY_ICON_BOX=$box
    return 1
}

# e2e_find_tray_icon: true when the program's icon has docked in the tray host; its line of
# `xwininfo -tree` is in E2E_FOUND.
e2e_find_tray_icon() {
    local t
    for t in $(xdotool search --class trayer 2>/dev/null); do
        # Lines look like: 0x600006 "Loadspire Gauge": ("loadspire" "Loadspire Gauge")  22x30+0+0  +1257+1
        E2E_FOUND=$(xwininfo -tree -id "$t" | grep -F -e '"Loadspire Gauge"' -e '("loadspire"' |
            head -n1 || true)
        [ -n "$E2E_FOUND" ] && return 0
    done
    return 1
}

# e2e_popup_open: true while a popup menu of the program is mapped. Qt maps its menus, tooltips,
# tray balloon and tray icon all as override-redirect windows; a menu is the one whose only
# window type is the normal one (tooltips and the balloon are tooltips, the icon is KDE's
# override type).
e2e_popup_open() {
    local w
    for w in $(xdotool search --onlyvisible --classname '^loadspire$' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' || continue
        [ "$(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | sed 's/^[^=]*= *//')" = \
            _NET_WM_WINDOW_TYPE_NORMAL ] && return 0
    done
    return 1
}

# e2e_wait_popup_closed [seconds]: waits until no popup menu of the program is mapped.
e2e_wait_popup_closed() {
    e2e_wait_until "${1:-10}" e2e_no_popup
}

# e2e_no_popup: true while no popup menu of the program is mapped.
e2e_no_popup() {
    ! e2e_popup_open
}

# e2e_click X Y [BUTTON]: moves the pointer to X Y and clicks there (button 1 by default). Qt
# takes a press of the same button within its double-click interval (400 ms) of the one before
# as a double click, which the tray icon does not answer with its menu or a Trigger: clicks are
# kept at least 500 ms apart. That is a floor, never a wait for the program.
e2e_click() {
    local x="$1" y="$2" button="${3:-1}" last now gap
    last=$(cat "$E2E_TMP/last-click" 2>/dev/null || echo 0)
    now=$(date +%s%N)
    gap=$(((now - last) / 1000000))
    if [ "$gap" -lt 500 ]; then
        sleep "$(printf '0.%03d' $((500 - gap)))"
    fi
    e2e_pointer "$x" "$y" click "$button"
    date +%s%N >"$E2E_TMP/last-click"
}

# e2e_open_menu X Y: opens the program's menu with a right click at a screen point (the tray
# icon or the gadget) and waits for it to show. Qt grabs the keyboard for the menu right after
# it maps it, in the same run of requests, so keys sent from then on reach the menu.
e2e_open_menu() {
    e2e_click "$1" "$2" 3
    e2e_wait_until 10 e2e_popup_open || e2e_fail "the menu did not open at $1,$2"
}

# e2e_menu X Y KEY...: opens the menu, presses the keys (an item's access key, or arrows and
# Return) and waits until the chosen item has closed the menu. A lone key that the menu did not
# take (it can only have come before the menu's keyboard grab) is pressed once more.
e2e_menu() {
    e2e_open_menu "$1" "$2"
    shift 2
    xdotool key "$@"
    e2e_wait_popup_closed 5 && return 0
    if [ $# -eq 1 ]; then
        xdotool key "$1"
        e2e_wait_popup_closed 5 && return 0
    fi
    e2e_fail "the menu is still open after the keys $*"
}

# e2e_wait_focus ID [seconds]: waits until the window has the keyboard focus, so that keys sent
# from then on reach it.
e2e_wait_focus() {
    e2e_wait_until "${2:-10}" e2e_has_focus "$1" ||
        e2e_fail "window $1 did not get the focus (focus: $(xdotool getwindowfocus 2>/dev/null))"
}

# e2e_has_focus ID: true while the window has the keyboard focus.
e2e_has_focus() {
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# e2e_activate ID: asks the window manager to activate the window and waits for its focus.
e2e_activate() {
    xdotool windowactivate "$1" >/dev/null 2>&1 || true
    e2e_wait_focus "$1"
}

# e2e_wait_gone PATTERN [seconds]: waits until no visible window's name matches; fails otherwise.
e2e_wait_gone() {
    e2e_wait_until "${2:-10}" e2e_no_window "$1" || e2e_fail "a window named $1 is still visible"
}

# e2e_no_window PATTERN: true while no visible window's name matches.
e2e_no_window() {
    ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}

# e2e_alive PID: true while the process runs.
e2e_alive() {
    kill -0 "$1" 2>/dev/null
}

# e2e_wait_ended PID MESSAGE: waits up to 10 s for the process to end; fails with MESSAGE if not.
e2e_wait_ended() {
    e2e_wait_until 10 e2e_ended "$1" || e2e_fail "$2"$'\n'"$(e2e_process_report "$1")"
}

# e2e_process_report PID: what a process that should have ended is doing: its state and, where
# gdb is installed, every thread's stack.
e2e_process_report() {
    ps -o pid,stat,wchan:24,etime,args -p "$1" 2>&1
    if command -v gdb >/dev/null; then
        timeout 30 gdb -batch -nx -p "$1" -ex 'thread apply all bt 12' 2>/dev/null |
            grep -E '^(Thread|#)' | head -n 80
    fi
}

# e2e_ended PID: true once the process has ended.
e2e_ended() {
    ! e2e_alive "$1"
}

# e2e_screenshot NAME: saves the whole screen as NAME.png in the kept screenshots folder.
e2e_screenshot() {
    local dir="$LSG_BINARY_DIR/screenshots"
    mkdir -p "$dir"
    import -window root "$dir/$1.png"
}

# e2e_weston SOCKET [weston options...]: starts weston, a Wayland compositor, on the socket
# SOCKET in XDG_RUNTIME_DIR (weston's headless backend unless the options name another) and waits
# until it offers windows. Its protocol traffic goes to $E2E_TMP/SOCKET.log, where the tests read
# what the program asked of it; its pid is in E2E_WESTON_PID.
e2e_weston() {
    local socket="$1"
    shift
    weston --socket="$socket" --idle-time=0 --no-config --debug --logger-scopes=log,proto \
        --log="$E2E_TMP/$socket.log" "$@" >"$E2E_TMP/$socket.out" 2>&1 &
    E2E_WESTON_PID=$!
    e2e_wait_until 10 e2e_weston_ready "$socket" && return 0
    cat "$E2E_TMP/$socket.out" >&2
    e2e_fail "weston did not start on $socket"
}

# e2e_weston_ready SOCKET: true once weston offers windows on SOCKET (never once it has ended).
e2e_weston_ready() {
    e2e_alive "$E2E_WESTON_PID" || return 2
    WAYLAND_DISPLAY="$1" timeout 5 weston-info 2>/dev/null | grep -q "'xdg_wm_base'"
}

# e2e_wait_grep FILE PATTERN [seconds] [count]: waits until FILE has at least COUNT (default 1)
# lines matching the extended regular expression PATTERN; fails otherwise.
e2e_wait_grep() {
    e2e_wait_until "${3:-10}" e2e_grep_count "$1" "$2" "${4:-1}" ||
        e2e_fail "no $2 in $(basename "$1") within ${3:-10} s"
}

# e2e_grep_count FILE PATTERN COUNT: true while FILE has at least COUNT lines matching PATTERN.
e2e_grep_count() {
    local n
    n=$(grep -c -E -e "$2" "$1" 2>/dev/null || true)
    [ "${n:-0}" -ge "$3" ]
}

# e2e_color_box COLOR: prints "W H X Y" of the smallest screen rectangle that holds every pixel of
# COLOR ("#FF00FF"), or nothing when the screen has none.
e2e_color_box() {
    import -window root "$E2E_TMP/colorbox.png" 2>/dev/null || return 0
    convert "$E2E_TMP/colorbox.png" -alpha off -fill black +opaque "$1" -trim \
        -format '%w %h %X %Y' info: 2>/dev/null | awk 'NF == 4 && $1 > 1 { print $1, $2, $3 + 0, $4 + 0 }'
}

# e2e_exit_from_menu X Y PID: opens the program's menu at X Y, chooses "E&xit" by its access key
# and waits up to 10 s for the process to end; fails otherwise.
e2e_exit_from_menu() {
    e2e_menu "$1" "$2" x
    e2e_wait_ended "$3" "the program still runs after Exit"
}

# e2e_proc_stat FILE CPUS: writes a /proc/stat of CPUS processors to FILE and keeps its counters
# moving, in place, from a writer in the background that ends with the test
# (procstat_writer.py beside this file). Each CPU's load in percent follows FILE.load while the
# test keeps one ("0 100 0 ...", CPU 0 first; missing CPUs idle) and changes every second
# otherwise. e2e_start_on_proc_stat starts the program on it.
e2e_proc_stat() {
    local file="$1" cpus="$2"
    python3 "$(dirname "${BASH_SOURCE[0]}")/procstat_writer.py" "$file" "$cpus" \
        >"$file.log" 2>&1 &
    E2E_EXTRA_PIDS="${E2E_EXTRA_PIDS:-} $!"
    e2e_wait_until 10 test -s "$file" || e2e_fail "no /proc/stat in $file: $(cat "$file.log")"
}

# e2e_start_on_proc_stat FILE [EXECUTABLE [LOG]]: starts the program (the installed copy unless
# EXECUTABLE is given; its output to LOG, program.log unless given) in a mount namespace of its
# own in which FILE lies over /proc/stat, so that it counts and measures the processors FILE
# lists. Its pid is in E2E_PID: the namespace is entered without a child process. Without root,
# a user namespace maps the user to root inside, where the system allows that.
e2e_start_on_proc_stat() {
    local file="$1" exe="${2:-$E2E_APP/loadspire}" log="${3:-$E2E_TMP/program.log}" as=()
    [ "$(id -u)" -eq 0 ] || as=(--map-root-user)
    unshare --mount "${as[@]}" -- sh -c \
        'mount --bind "$1" /proc/stat || { echo "cannot lay $1 over /proc/stat" >&2; exit 1; }
         exec "$2"' sh "$file" "$exe" >"$log" 2>&1 &
    E2E_PID=$!
}

# e2e_local_server: starts the local test server (tests/servers/server.py) on the port the program
# was built for, HTTPS with a test CA the program is told to trust and plain HTTP on one port, and
# waits until it listens; it ends when its input closes. e2e_server_command sends it commands.
e2e_local_server() {
    : "${LSG_SOURCE_DIR:?LSG_SOURCE_DIR must point at the source folder}"
    : "${LOADSPIRE_TEST_SERVER_PORT:?LOADSPIRE_TEST_SERVER_PORT must name the local server port}"
    local ready
    coproc SERVER {
        exec python3 -I -S -u "$LSG_SOURCE_DIR/tests/servers/server.py" \
            --certdir "$E2E_TMP/certs" --dual-port "$LOADSPIRE_TEST_SERVER_PORT" \
            2>"$E2E_TMP/server.log"
    }
    read -r -t 30 ready <&"${SERVER[0]}" ||
        e2e_fail "the server did not start: $(cat "$E2E_TMP/server.log")"
    case "$ready" in
    *"\"dual\": $LOADSPIRE_TEST_SERVER_PORT"*) ;;
    *) e2e_fail "the server is not on port $LOADSPIRE_TEST_SERVER_PORT: $ready" ;;
    esac
    export LOADSPIRE_TEST_CA_FILE="$E2E_TMP/certs/ca.pem"
}

# e2e_server_command JSON: sends the local server one command; its one-line answer lands in
# SERVER_ANSWER.
e2e_server_command() {
    echo "$1" >&"${SERVER[1]}"
    read -r -t 10 SERVER_ANSWER <&"${SERVER[0]}" || e2e_fail "the server did not answer $1"
}
