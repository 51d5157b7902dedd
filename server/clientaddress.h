// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lsg::server {

// The client's address as the limits see it. Without trusted proxies (hops 0) that is the peer.
// Behind `hops` proxies, each appending the address it was reached from to X-Forwarded-For, the
// client is the entry `hops` places from the right of all the header's lines joined in order:
// entries further left were written by the client and prove nothing. A chain shorter than that
// gives its leftmost entry; a missing or unreadable entry gives the peer.
std::string clientAddress(std::string_view peer, const std::vector<std::string_view>& forwardedFor,
                          int hops);

// What the limits count: an IPv4 address as it is (also when it comes IPv4-mapped), an IPv6
// address by its /64, which one subscriber usually holds whole. Text that is no address stays as
// it is.
std::string limitKey(std::string_view address);

}  // namespace lsg::server
