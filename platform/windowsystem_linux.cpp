// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/windowsystem.h"

#include <QWidget>

#include <algorithm>

#include "platform/x11_linux.h"

namespace lsg::platform {
namespace {

// The desktop standard's source indication of a request: 1 an application's own, 2 a pager's
// (a request the user made, which focus-stealing prevention lets through).
constexpr uint32_t kFromApplication = 1;
constexpr uint32_t kFromUser = 2;
// _NET_WM_STATE actions.
constexpr uint32_t kAdd = 1;
// ICCCM WM_STATE: the first of its two values is the state the window manager gave the window.
constexpr uint32_t kIconicState = 3;

bool contains(const std::vector<uint32_t>& values, uint32_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool isIconic(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_atom_t wmState = x11::atoms(connection, {"WM_STATE"}).front();
    if (wmState == XCB_ATOM_NONE) {
        return false;
    }
    const std::vector<uint32_t> state = x11::property(connection, window, wmState, wmState, 2);
    return !state.empty() && state.front() == kIconicState;
}

// The window's X id, or XCB_WINDOW_NONE while the toolkit has made none (a window id would be
// made on demand, and with it a native window the toolkit did not plan).
xcb_window_t createdWindow(QWidget* window) {
    if (window == nullptr || !window->testAttribute(Qt::WA_WState_Created)) {
        return XCB_WINDOW_NONE;
    }
    return xcb_window_t(window->winId());
}

}  // namespace

void hideFromTaskbar(QWidget* window) {
    xcb_connection_t* connection = x11::connection();
    if (connection == nullptr) {
        return;
    }
    const std::vector<xcb_atom_t> names =
        x11::atoms(connection, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR"});
    const xcb_atom_t state = names[0], skip = names[1];
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    if (contains(x11::property(connection, id, state, XCB_ATOM_ATOM, 64), skip)) {
        return;
    }
    // Before a map the window manager reads the state from the property; the toolkit keeps
    // atoms it did not set itself when it adds its own.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(connection);
}

void requestAbove(QWidget* window) {
    xcb_connection_t* connection = x11::connection();
    if (connection == nullptr || window == nullptr || !window->isVisible()) {
        return;
    }
    const std::vector<xcb_atom_t> names =
        x11::atoms(connection, {"_NET_WM_STATE", "_NET_WM_STATE_ABOVE"});
    if (names[0] == XCB_ATOM_NONE || names[1] == XCB_ATOM_NONE) {
        return;
    }
    // A mapped window's state changes only through the window manager.
    x11::sendToWindowManager(connection, xcb_window_t(window->winId()), names[0],
                             {kAdd, names[1], 0, kFromApplication});
    xcb_flush(connection);
}

void showOnAllDesktops(QWidget* window) {
    xcb_connection_t* connection = x11::connection();
    if (connection == nullptr || window == nullptr) {
        return;
    }
    const std::vector<xcb_atom_t> names =
        x11::atoms(connection, {"_NET_WM_DESKTOP", "_NET_WM_STATE", "_NET_WM_STATE_STICKY"});
    const xcb_atom_t desktop = names[0], state = names[1], sticky = names[2];
    if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE || sticky == XCB_ATOM_NONE) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    if (!window->isVisible()) {
        // The window manager reads both properties when the window is mapped.
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32,
                            1, &x11::kAllDesktops);
        if (!contains(x11::property(connection, id, state, XCB_ATOM_ATOM, 64), sticky)) {
            xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1,
                                &sticky);
        }
    } else {
        // A mapped window's desktop and state change only through the window manager.
        x11::sendToWindowManager(connection, id, desktop, {x11::kAllDesktops, kFromApplication});
        x11::sendToWindowManager(connection, id, state, {kAdd, sticky, 0, kFromApplication});
    }
    xcb_flush(connection);
}

void bringToUser(QWidget* window) {
    xcb_connection_t* connection = x11::connection();
    const xcb_window_t id = createdWindow(window);
    if (connection == nullptr || id == XCB_WINDOW_NONE || !window->isVisible()) {
        return;
    }
    const std::vector<xcb_atom_t> names =
        x11::atoms(connection, {"_NET_SHOWING_DESKTOP", "_NET_CURRENT_DESKTOP", "_NET_WM_DESKTOP",
                                "_NET_WM_STATE", "_NET_WM_STATE_STICKY", "_NET_ACTIVE_WINDOW"});
    const xcb_atom_t showingDesktop = names[0], currentDesktop = names[1], desktop = names[2],
                     state = names[3], sticky = names[4], activeWindow = names[5];
    const xcb_window_t root = x11::rootWindow(connection);

    // Show Desktop hides every window until it is left; the user asked for this one.
    const std::vector<uint32_t> showing =
        x11::property(connection, root, showingDesktop, XCB_ATOM_CARDINAL, 1);
    if (!showing.empty() && showing.front() != 0) {
        x11::sendToWindowManager(connection, root, showingDesktop, {0});
    }
    // On another desktop the window stays out of sight: it comes to the user's.
    const std::vector<uint32_t> on = x11::property(connection, id, desktop, XCB_ATOM_CARDINAL, 1);
    const std::vector<uint32_t> current =
        x11::property(connection, root, currentDesktop, XCB_ATOM_CARDINAL, 1);
    const bool isSticky = contains(x11::property(connection, id, state, XCB_ATOM_ATOM, 64), sticky);
    if (!on.empty() && !current.empty() && on.front() != x11::kAllDesktops && !isSticky &&
        on.front() != current.front()) {
        x11::sendToWindowManager(connection, id, desktop, {current.front(), kFromUser});
    }
    // ICCCM 4.1.4: a client takes an iconic window back to the normal state by mapping it.
    if (isIconic(connection, id)) {
        xcb_map_window(connection, id);
    }
    // As a pager asks, for the user: raised and focused whatever the window manager's
    // focus-stealing rules say about an application's own request.
    x11::sendToWindowManager(connection, id, activeWindow, {kFromUser, XCB_CURRENT_TIME, 0});
    xcb_flush(connection);
}

}  // namespace lsg::platform
