// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// dock_panel EDGE X Y W H [--plain]: a desktop panel stand-in for the whole-program tests. It maps
// a grey dock window at X,Y of W x H and reserves the screen's EDGE (top, bottom, left or right)
// under it for itself, as desktop panels do: _NET_WM_WINDOW_TYPE_DOCK and _NET_WM_STRUT_PARTIAL
// (the reserved band limited to the panel's own span), or with --plain the older _NET_WM_STRUT
// alone, which reserves the edge's whole length. It runs until it is killed or its display goes.
#include <unistd.h>
#include <xcb/xcb.h>

#include "tests/e2e/xcbatom.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

using Free = lsg::test::XcbFree;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    return lsg::test::xcbAtom(c, name);
}

void setCardinals(xcb_connection_t* c, xcb_window_t w, const char* name, const uint32_t* values,
                  uint32_t count) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, name), XCB_ATOM_CARDINAL, 32, count,
                        values);
}

int usage() {
    std::fprintf(stderr, "usage: dock_panel top|bottom|left|right X Y W H [--plain]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6 && argc != 7) {
        return usage();
    }
    const std::string edge = argv[1];
    const int x = std::atoi(argv[2]);
    const int y = std::atoi(argv[3]);
    const int w = std::atoi(argv[4]);
    const int h = std::atoi(argv[5]);
    const bool plain = argc == 7 && std::strcmp(argv[6], "--plain") == 0;
    if ((argc == 7 && !plain) || w <= 0 || h <= 0 || x < 0 || y < 0) {
        return usage();
    }

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "dock_panel: cannot open the display\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const int rootWidth = screen->width_in_pixels;
    const int rootHeight = screen->height_in_pixels;

    // The twelve values: left, right, top, bottom widths, then the start and end of each band
    // along its edge. A strut is measured from the root window's edge, not the monitor's.
    uint32_t strut[12] = {};
    if (edge == "top") {
        strut[2] = uint32_t(y + h);
        strut[8] = uint32_t(x);
        strut[9] = uint32_t(x + w - 1);
    } else if (edge == "bottom") {
        strut[3] = uint32_t(rootHeight - y);
        strut[10] = uint32_t(x);
        strut[11] = uint32_t(x + w - 1);
    } else if (edge == "left") {
        strut[0] = uint32_t(x + w);
        strut[4] = uint32_t(y);
        strut[5] = uint32_t(y + h - 1);
    } else if (edge == "right") {
        strut[1] = uint32_t(rootWidth - x);
        strut[6] = uint32_t(y);
        strut[7] = uint32_t(y + h - 1);
    } else {
        return usage();
    }

    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {0x808080u};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, int16_t(x), int16_t(y),
                      uint16_t(w), uint16_t(h), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, XCB_CW_BACK_PIXEL, values);
    const char name[] = "lsg-dock-panel";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof name - 1, name);
    const char wmClass[] = "lsg-dock-panel\0LsgDockPanel";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    const xcb_atom_t dock = atom(c, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dock);
    // WM_NORMAL_HINTS: the place is the user's (USPosition | USSize), so it is kept.
    uint32_t hints[18] = {};
    hints[0] = 1u | 2u;
    hints[1] = uint32_t(x);
    hints[2] = uint32_t(y);
    hints[3] = uint32_t(w);
    hints[4] = uint32_t(h);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    // Its process, so that a test can find the panel it started.
    const uint32_t pid = uint32_t(getpid());
    setCardinals(c, window, "_NET_WM_PID", &pid, 1);
    // On every desktop, as panels are, so every desktop's work area leaves it out.
    const uint32_t allDesktops = 0xFFFFFFFFu;
    setCardinals(c, window, "_NET_WM_DESKTOP", &allDesktops, 1);
    if (plain) {
        setCardinals(c, window, "_NET_WM_STRUT", strut, 4);
    } else {
        setCardinals(c, window, "_NET_WM_STRUT_PARTIAL", strut, 12);
    }
    xcb_map_window(c, window);
    xcb_flush(c);

    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}
