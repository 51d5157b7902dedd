// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/x11_linux.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lsg::platform::x11 {

xcb_connection_t* connection() {
    if (qGuiApp == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;  // not on X11 (tests run offscreen)
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem > 0 ? screens.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

std::vector<xcb_atom_t> atoms(xcb_connection_t* connection,
                              std::initializer_list<const char*> names) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(names.size());
    for (const char* name : names) {
        cookies.push_back(xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name));
    }
    std::vector<xcb_atom_t> result;
    result.reserve(names.size());
    for (const xcb_intern_atom_cookie_t& cookie : cookies) {
        xcb_generic_error_t* error = nullptr;
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, &error));
        std::free(error);
        result.push_back(reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
    }
    return result;
}

PropertyRequest askProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                            xcb_atom_t type, uint32_t maxCount) {
    return {xcb_get_property(connection, 0, window, property, type, 0, maxCount), type};
}

std::vector<uint32_t> takeProperty(xcb_connection_t* connection, const PropertyRequest& request) {
    // The error of a window that went meanwhile is taken here, so it never reaches the
    // toolkit's event queue as a warning.
    xcb_generic_error_t* error = nullptr;
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, request.cookie, &error));
    std::free(error);
    if (!reply || reply->format != 32 || reply->type != request.type) {
        return {};
    }
    const int count = std::max(0, xcb_get_property_value_length(reply.get())) / 4;
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<uint32_t>(values, values + count);
}

std::vector<uint32_t> property(xcb_connection_t* connection, xcb_window_t window,
                               xcb_atom_t property, xcb_atom_t type, uint32_t maxCount) {
    return takeProperty(connection, askProperty(connection, window, property, type, maxCount));
}

void sendToWindowManager(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                         std::initializer_list<uint32_t> values) {
    const xcb_window_t root = rootWindow(connection);
    if (root == XCB_WINDOW_NONE || type == XCB_ATOM_NONE) {
        return;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy_n(values.begin(), std::min<std::size_t>(values.size(), 5), message.data.data32);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

bool windowManagerRuns(xcb_connection_t* connection) {
    const xcb_window_t root = rootWindow(connection);
    const xcb_atom_t check = atoms(connection, {"_NET_SUPPORTING_WM_CHECK"}).front();
    if (root == XCB_WINDOW_NONE || check == XCB_ATOM_NONE) {
        return false;
    }
    const std::vector<uint32_t> named = property(connection, root, check, XCB_ATOM_WINDOW, 1);
    if (named.empty() || named.front() == XCB_WINDOW_NONE) {
        return false;
    }
    // A name left on the root by a window manager that has gone leads nowhere.
    const std::vector<uint32_t> self =
        property(connection, named.front(), check, XCB_ATOM_WINDOW, 1);
    return !self.empty() && self.front() == named.front();
}

}  // namespace lsg::platform::x11
