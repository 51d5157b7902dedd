// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "server/clientaddress.h"

#include <arpa/inet.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>

namespace lsg::server {
namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// 16 bytes of IPv6, or 4 of IPv4 in an IPv4-mapped IPv6 address.
struct Address {
    std::array<unsigned char, 16> bytes{};
    bool v4 = false;
};

std::optional<Address> parse(std::string_view text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (text.empty() || text.size() > 45) {
        return std::nullopt;
    }
    char buffer[46];
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    Address a;
    if (inet_pton(AF_INET, buffer, a.bytes.data() + 12) == 1) {
        a.v4 = true;
        return a;
    }
    if (inet_pton(AF_INET6, buffer, a.bytes.data()) == 1) {
        static constexpr unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
        a.v4 = std::memcmp(a.bytes.data(), kMapped, sizeof kMapped) == 0;
        return a;
    }
    return std::nullopt;
}

std::string text(const Address& a) {
    char out[INET6_ADDRSTRLEN];
    if (a.v4) {
        inet_ntop(AF_INET, a.bytes.data() + 12, out, sizeof out);
    } else {
        inet_ntop(AF_INET6, a.bytes.data(), out, sizeof out);
    }
    return out;
}

}  // namespace

std::string clientAddress(std::string_view peer, const std::vector<std::string_view>& forwardedFor,
                          int hops) {
    if (hops <= 0) {
        return std::string(peer);
    }
    std::vector<std::string_view> entries;
    for (std::string_view line : forwardedFor) {
        for (;;) {
            const auto comma = line.find(',');
            entries.push_back(trimmed(line.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            line.remove_prefix(comma + 1);
        }
    }
    if (entries.empty()) {
        return std::string(peer);
    }
    const std::size_t index =
        entries.size() >= std::size_t(hops) ? entries.size() - std::size_t(hops) : 0;
    const auto address = parse(entries[index]);
    return address ? text(*address) : std::string(peer);
}

std::string limitKey(std::string_view address) {
    auto a = parse(address);
    if (!a) {
        return std::string(address);
    }
    if (a->v4) {
        return text(*a);
    }
    std::fill(a->bytes.begin() + 8, a->bytes.end(), 0);
    return text(*a) + "/64";
}

}  // namespace lsg::server
