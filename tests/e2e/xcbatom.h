// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

// What the test library's small X tools share.
namespace lsg::test {

// Frees what xcb hands back.
struct XcbFree {
    void operator()(void* p) const { std::free(p); }
};

// The atom of a name, made when it does not exist yet; XCB_ATOM_NONE when the server refuses.
inline xcb_atom_t xcbAtom(xcb_connection_t* c, const char* name) {
    std::unique_ptr<xcb_intern_atom_reply_t, XcbFree> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

}  // namespace lsg::test
