// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <span>
#include <string_view>

namespace lsg::server {

// A file of server/www, built into the program: no path from a request ever reaches the disk.
struct Page {
    std::string_view path;  // "/", "/help/loadspire-gauge/", "/style.css"
    std::string_view contentType;
    std::string_view body;
};

std::span<const Page> embeddedPages();

}  // namespace lsg::server
