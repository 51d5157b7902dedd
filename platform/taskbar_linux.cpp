// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/taskbar.h"

#include <xcb/xcb.h>
#include <QGuiApplication>
#include <QWidget>

#include <cstring>
#include <memory>

namespace lsg::ui {
namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;  // not on X11 (tests run offscreen)
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

bool propertyHasAtom(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                     xcb_atom_t atom) {
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 64);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM) {
        return false;
    }
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < count; ++i) {
        if (atoms[i] == atom) {
            return true;
        }
    }
    return false;
}

// ICCCM WM_STATE: the first of its two values is the state the window manager gave the window.
constexpr uint32_t kIconicState = 3;

bool isIconic(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_atom_t wmState = internAtom(connection, "WM_STATE");
    if (wmState == XCB_ATOM_NONE) {
        return false;
    }
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, wmState, wmState, 0, 2);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
        return false;
    }
    return *static_cast<const uint32_t*>(xcb_get_property_value(reply.get())) == kIconicState;
}

}  // namespace

void hideFromTaskbar(QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return;
    }
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skip = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skip == XCB_ATOM_NONE) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    if (propertyHasAtom(connection, id, state, skip)) {
        return;
    }
    // Before a map the window manager reads the state from the property; the toolkit keeps
    // atoms it did not set itself when it adds its own.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &skip);
    xcb_flush(connection);
}

void requestAbove(QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window == nullptr || !window->isVisible()) {
        return;
    }
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t above = internAtom(connection, "_NET_WM_STATE_ABOVE");
    if (state == XCB_ATOM_NONE || above == XCB_ATOM_NONE) {
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    if (screens.rem == 0) {
        return;
    }
    // A mapped window's state changes only through the window manager: the request goes to the
    // root window (EWMH _NET_WM_STATE client message, action 1 = add, source 1 = application).
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window->winId());
    message.type = state;
    message.data.data32[0] = 1;
    message.data.data32[1] = above;
    message.data.data32[2] = 0;
    message.data.data32[3] = 1;
    xcb_send_event(connection, 0, screens.data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

void restoreIfIconic(QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr || window == nullptr ||
        !window->testAttribute(Qt::WA_WState_Created)) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    if (!isIconic(connection, id)) {
        return;
    }
    // ICCCM 4.1.4: a client takes an iconic window back to the normal state by mapping it.
    xcb_map_window(connection, id);
    xcb_flush(connection);
}

}  // namespace lsg::ui
