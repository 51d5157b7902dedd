// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Small helpers over the toolkit's own X connection, for the seams that talk to the window
// manager. Every request is answered or given up at once: nothing here waits for an event.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <vector>

namespace lsg::platform::x11 {

// _NET_WM_DESKTOP's value for a window on every desktop.
inline constexpr uint32_t kAllDesktops = 0xFFFFFFFF;

// A reply of the server, which the library allocates with malloc.
struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, Free>;

// The toolkit's connection, or nullptr when the toolkit does not run on X11.
xcb_connection_t* connection();

// The root window of the connection's first screen.
xcb_window_t rootWindow(xcb_connection_t* connection);

// The atoms of the names, in their order (XCB_ATOM_NONE for one the server refused), asked for
// in one round trip.
std::vector<xcb_atom_t> atoms(xcb_connection_t* connection,
                              std::initializer_list<const char*> names);

// A property's 32-bit values, at most `maxCount` of them; empty when the window has no such
// property of that type (or is gone).
struct PropertyRequest {
    xcb_get_property_cookie_t cookie{};
    xcb_atom_t type = XCB_ATOM_NONE;
};
PropertyRequest askProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                            xcb_atom_t type, uint32_t maxCount);
std::vector<uint32_t> takeProperty(xcb_connection_t* connection, const PropertyRequest& request);
std::vector<uint32_t> property(xcb_connection_t* connection, xcb_window_t window,
                               xcb_atom_t property, xcb_atom_t type, uint32_t maxCount);

// Sends a desktop-standard request about `window` to the window manager through the root
// window, as a 32-bit client message of `type` with up to five values.
void sendToWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                         std::initializer_list<uint32_t> values);

// True when a window manager that follows the desktop standard runs: the root names a check
// window that names itself.
bool windowManagerRuns(xcb_connection_t* connection);

}  // namespace lsg::platform::x11
