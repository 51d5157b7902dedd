// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// xselection_wait SECONDS NAME...: waits until every named X selection (e.g. WM_S0 for the window
// manager, _NET_SYSTEM_TRAY_S0 for the tray host) has an owner. The whole-program tests start the
// program only then, so that whether it finds a tray never depends on how fast a host started.
#include <xcb/xcb.h>

#include "tests/e2e/xcbatom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using Free = lsg::test::XcbFree;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    return lsg::test::xcbAtom(c, name);
}

bool owned(xcb_connection_t* c, xcb_atom_t selection) {
    std::unique_ptr<xcb_get_selection_owner_reply_t, Free> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return reply && reply->owner != xcb_window_t(XCB_WINDOW_NONE);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: xselection_wait SECONDS NAME...\n");
        return 2;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[1]));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "xselection_wait: cannot open the display\n");
        return 2;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) {
        const xcb_atom_t selection = atom(c, argv[i]);
        while (!owned(c, selection)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                std::fprintf(stderr, "xselection_wait: nobody owns %s\n", argv[i]);
                status = 1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    xcb_disconnect(c);
    return status;
}
