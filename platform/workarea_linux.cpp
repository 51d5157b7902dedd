// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "platform/workarea.h"

#include <QGuiApplication>
#include <QScreen>

#include <climits>
#include <cstdlib>

#include "platform/x11_linux.h"

namespace lsg::platform {
namespace {

// Bounds on what is read, whatever the window manager publishes.
constexpr uint32_t kMaxClients = 4096;
constexpr uint32_t kMaxDesktops = 1024;

QSize rootSize(xcb_connection_t* connection, xcb_window_t root) {
    // The size the server was started with may have changed since (a monitor plugged in).
    xcb_generic_error_t* error = nullptr;
    x11::Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, root), &error));
    std::free(error);
    return reply ? QSize(reply->width, reply->height) : QSize();
}

}  // namespace

DesktopLayout readDesktopLayout() {
    DesktopLayout layout;
    for (const QScreen* screen : QGuiApplication::screens()) {
        layout.screens.push_back(
            {screen->geometry(), screen->availableGeometry(), screen->devicePixelRatio()});
    }
    xcb_connection_t* connection = x11::connection();
    if (connection == nullptr || !x11::windowManagerRuns(connection)) {
        return layout;
    }
    const xcb_window_t root = x11::rootWindow(connection);
    const std::vector<xcb_atom_t> names =
        x11::atoms(connection, {"_NET_CLIENT_LIST", "_NET_CURRENT_DESKTOP", "_NET_WORKAREA",
                                "_NET_WM_STRUT_PARTIAL", "_NET_WM_STRUT", "_NET_WM_DESKTOP"});
    const xcb_atom_t clientList = names[0], currentDesktop = names[1], workArea = names[2],
                     strutPartial = names[3], strut = names[4], wmDesktop = names[5];

    layout.fromWindowManager = true;
    layout.root = rootSize(connection, root);
    const std::vector<uint32_t> current =
        x11::property(connection, root, currentDesktop, XCB_ATOM_CARDINAL, 1);
    const uint32_t desktop = current.empty() ? 0 : current.front();
    if (desktop < kMaxDesktops) {
        const std::vector<uint32_t> areas =
            x11::property(connection, root, workArea, XCB_ATOM_CARDINAL, 4 * (desktop + 1));
        if (areas.size() >= 4 * (desktop + 1)) {
            const uint32_t* a = areas.data() + 4 * desktop;
            if (a[0] <= uint32_t(INT_MAX) && a[1] <= uint32_t(INT_MAX) &&
                a[2] <= uint32_t(INT_MAX) && a[3] <= uint32_t(INT_MAX)) {
                layout.workArea = QRect(int(a[0]), int(a[1]), int(a[2]), int(a[3]));
            }
        }
    }

    // Every client's reservation, asked for at once and then collected.
    const std::vector<uint32_t> clients =
        x11::property(connection, root, clientList, XCB_ATOM_WINDOW, kMaxClients);
    struct Asked {
        x11::PropertyRequest partial, whole, desktop;
    };
    std::vector<Asked> asked;
    asked.reserve(clients.size());
    for (const uint32_t window : clients) {
        asked.push_back({x11::askProperty(connection, window, strutPartial, XCB_ATOM_CARDINAL, 12),
                         x11::askProperty(connection, window, strut, XCB_ATOM_CARDINAL, 4),
                         x11::askProperty(connection, window, wmDesktop, XCB_ATOM_CARDINAL, 1)});
    }
    for (const Asked& a : asked) {
        const std::vector<uint32_t> partial = x11::takeProperty(connection, a.partial);
        const std::vector<uint32_t> whole = x11::takeProperty(connection, a.whole);
        const std::vector<uint32_t> on = x11::takeProperty(connection, a.desktop);
        // A panel on another desktop leaves this one's space alone.
        if (!on.empty() && on.front() != x11::kAllDesktops && on.front() != desktop) {
            continue;
        }
        if (partial.size() == 12) {
            const auto v = [&partial](int i) { return qint64(partial[std::size_t(i)]); };
            layout.struts.push_back(
                {v(0), v(1), v(2), v(3), v(4), v(5), v(6), v(7), v(8), v(9), v(10), v(11)});
        } else if (whole.size() == 4) {
            layout.struts.push_back(
                Strut::wholeEdges(whole[0], whole[1], whole[2], whole[3], layout.root));
        }
    }
    return layout;
}

}  // namespace lsg::platform
