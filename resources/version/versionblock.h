// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

// Writes version-information blocks in the Windows binary layout (VS_VERSIONINFO). Plain C++,
// because the build runs it as a host tool before any library exists; tests use it to make
// blocks of their own.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lsg::versionblock {

struct Translation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

struct Description {
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = 0;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    // Every entry goes into VarFileInfo\Translation; the first one names the string table.
    std::vector<Translation> translations;
    // Key and UTF-8 value, written in this order.
    std::vector<std::pair<std::string, std::string>> strings;
};

// Reads the "name = value" description; throws std::runtime_error naming the bad line.
Description parseDescription(const std::string& text);

// "1.7.0.0" -> {1, 7, 0, 0}; missing trailing parts are 0. Throws std::runtime_error.
std::array<std::uint16_t, 4> parseVersion(const std::string& text);

// Name of the string table for a translation: "040904E4".
std::string stringTableName(const Translation& translation);

// The complete VS_VERSIONINFO block, little-endian, starting on a 32-bit boundary.
std::vector<std::uint8_t> buildBlock(const Description& description);

// The same information as resource-compiler source, for cross-checking with a real one.
std::string toResourceScript(const Description& description);

}  // namespace lsg::versionblock
