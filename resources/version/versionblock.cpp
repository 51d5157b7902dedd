// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "resources/version/versionblock.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace lsg::versionblock {

namespace {

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    const auto end = s.find_last_not_of(" \t\r");
    return s.substr(begin, end - begin + 1);
}

std::uint32_t parseNumber(const std::string& text, std::uint32_t max) {
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, value, base);
    if (digits.empty() || ec != std::errc() || ptr != end || value > max) {
        throw std::runtime_error("not a number in range: \"" + text + "\"");
    }
    return static_cast<std::uint32_t>(value);
}

// UTF-8 to UTF-16 code units; a malformed sequence is an error, not a silent replacement.
std::u16string toUtf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = 0;
        std::size_t extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            throw std::runtime_error("malformed UTF-8 in \"" + utf8 + "\"");
        }
        if (i + extra >= utf8.size()) {
            throw std::runtime_error("truncated UTF-8 in \"" + utf8 + "\"");
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xC0) != 0x80) {
                throw std::runtime_error("malformed UTF-8 in \"" + utf8 + "\"");
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += extra + 1;
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            throw std::runtime_error("invalid code point in \"" + utf8 + "\"");
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void padTo4(Bytes& b) {
    while (b.size() % 4 != 0) {
        b.push_back(0);
    }
}

void putText(Bytes& b, const std::u16string& text) {
    for (char16_t c : text) {
        put16(b, c);
    }
    put16(b, 0);
}

enum class ValueType : std::uint16_t { Binary = 0, Text = 1 };

// One node: header, key, value, children. Offsets are relative to the block start, so padding
// here is padding in the block. The node's length covers its last child without trailing padding,
// as resource compilers write it; the parent pads before the next sibling.
Bytes node(const std::u16string& key, ValueType type, const Bytes& value, std::uint16_t valueLength,
           const std::vector<Bytes>& children) {
    Bytes b;
    put16(b, 0);  // length, patched below
    put16(b, valueLength);
    put16(b, static_cast<std::uint16_t>(type));
    putText(b, key);
    padTo4(b);
    b.insert(b.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        padTo4(b);
        b.insert(b.end(), child.begin(), child.end());
    }
    if (b.size() > 0xFFFF) {
        throw std::runtime_error("version information too large");
    }
    b[0] = static_cast<std::uint8_t>(b.size() & 0xFF);
    b[1] = static_cast<std::uint8_t>(b.size() >> 8);
    return b;
}

std::uint32_t ms(const std::array<std::uint16_t, 4>& v) {
    return (std::uint32_t{v[0]} << 16) | v[1];
}
std::uint32_t ls(const std::array<std::uint16_t, 4>& v) {
    return (std::uint32_t{v[2]} << 16) | v[3];
}

std::string rcQuote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string commaVersion(const std::array<std::uint16_t, 4>& v) {
    return std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]) + "," +
           std::to_string(v[3]);
}

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", v);
    return buf;
}

}  // namespace

std::array<std::uint16_t, 4> parseVersion(const std::string& text) {
    std::array<std::uint16_t, 4> v{};
    std::size_t part = 0;
    std::size_t start = 0;
    while (true) {
        if (part >= v.size()) {
            throw std::runtime_error("more than four version parts: \"" + text + "\"");
        }
        const auto dot = text.find('.', start);
        const std::string piece = trim(text.substr(start, dot - start));
        v[part++] = static_cast<std::uint16_t>(parseNumber(piece, 0xFFFF));
        if (dot == std::string::npos) {
            break;
        }
        start = dot + 1;
    }
    return v;
}

Description parseDescription(const std::string& text) {
    Description d;
    std::istringstream in(text);
    std::string line;
    std::string section;
    Translation translation;
    bool haveLanguage = false;
    bool haveCodePage = false;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#') {
            continue;
        }
        try {
            if (t.front() == '[' && t.back() == ']') {
                section = t.substr(1, t.size() - 2);
                if (section != "fixed" && section != "translation" && section != "strings") {
                    throw std::runtime_error("unknown section [" + section + "]");
                }
                continue;
            }
            const auto eq = t.find('=');
            if (eq == std::string::npos) {
                throw std::runtime_error("expected \"name = value\"");
            }
            const std::string name = trim(t.substr(0, eq));
            const std::string value = trim(t.substr(eq + 1));
            if (section == "fixed") {
                if (name == "FileVersion") {
                    d.fileVersion = parseVersion(value);
                } else if (name == "ProductVersion") {
                    d.productVersion = parseVersion(value);
                } else if (name == "FileFlagsMask") {
                    d.fileFlagsMask = parseNumber(value, 0xFFFFFFFF);
                } else if (name == "FileFlags") {
                    d.fileFlags = parseNumber(value, 0xFFFFFFFF);
                } else if (name == "FileOS") {
                    d.fileOS = parseNumber(value, 0xFFFFFFFF);
                } else if (name == "FileType") {
                    d.fileType = parseNumber(value, 0xFFFFFFFF);
                } else if (name == "FileSubtype") {
                    d.fileSubtype = parseNumber(value, 0xFFFFFFFF);
                } else {
                    throw std::runtime_error("unknown fixed value " + name);
                }
            } else if (section == "translation") {
                if (name == "Language") {
                    translation.language = static_cast<std::uint16_t>(parseNumber(value, 0xFFFF));
                    haveLanguage = true;
                } else if (name == "CodePage") {
                    translation.codePage = static_cast<std::uint16_t>(parseNumber(value, 0xFFFF));
                    haveCodePage = true;
                } else {
                    throw std::runtime_error("unknown translation value " + name);
                }
            } else if (section == "strings") {
                if (name.empty()) {
                    throw std::runtime_error("empty string key");
                }
                toUtf16(value);  // refuse bad text here, where the line number is known
                d.strings.emplace_back(name, value);
            } else {
                throw std::runtime_error("value outside a section");
            }
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + e.what());
        }
    }
    if (!haveLanguage || !haveCodePage) {
        throw std::runtime_error("the translation needs Language and CodePage");
    }
    d.translations.push_back(translation);
    return d;
}

std::string stringTableName(const Translation& translation) {
    char buf[9];
    std::snprintf(buf, sizeof buf, "%04X%04X", translation.language, translation.codePage);
    return buf;
}

std::vector<std::uint8_t> buildBlock(const Description& d) {
    if (d.translations.empty()) {
        throw std::runtime_error("no translation");
    }
    Bytes fixed;
    put32(fixed, 0xFEEF04BD);  // signature
    put32(fixed, 0x00010000);  // structure version 1.0
    put32(fixed, ms(d.fileVersion));
    put32(fixed, ls(d.fileVersion));
    put32(fixed, ms(d.productVersion));
    put32(fixed, ls(d.productVersion));
    put32(fixed, d.fileFlagsMask);
    put32(fixed, d.fileFlags);
    put32(fixed, d.fileOS);
    put32(fixed, d.fileType);
    put32(fixed, d.fileSubtype);
    put32(fixed, 0);  // file date, unused
    put32(fixed, 0);

    std::vector<Bytes> strings;
    for (const auto& [key, value] : d.strings) {
        const std::u16string text = toUtf16(value);
        Bytes v;
        putText(v, text);
        strings.push_back(node(toUtf16(key), ValueType::Text, v,
                               static_cast<std::uint16_t>(text.size() + 1), {}));
    }
    const std::string tableName = stringTableName(d.translations.front());
    const Bytes table = node(toUtf16(tableName), ValueType::Text, {}, 0, strings);
    const Bytes stringFileInfo = node(u"StringFileInfo", ValueType::Text, {}, 0, {table});

    Bytes pairs;
    for (const Translation& t : d.translations) {
        put16(pairs, t.language);
        put16(pairs, t.codePage);
    }
    const Bytes var = node(u"Translation", ValueType::Binary, pairs,
                           static_cast<std::uint16_t>(pairs.size()), {});
    const Bytes varFileInfo = node(u"VarFileInfo", ValueType::Text, {}, 0, {var});

    return node(u"VS_VERSION_INFO", ValueType::Binary, fixed,
                static_cast<std::uint16_t>(fixed.size()), {stringFileInfo, varFileInfo});
}

std::string toResourceScript(const Description& d) {
    std::string rc;
    rc += "1 VERSIONINFO\n";
    rc += "FILEVERSION " + commaVersion(d.fileVersion) + "\n";
    rc += "PRODUCTVERSION " + commaVersion(d.productVersion) + "\n";
    rc += "FILEFLAGSMASK " + hex(d.fileFlagsMask) + "\n";
    rc += "FILEFLAGS " + hex(d.fileFlags) + "\n";
    rc += "FILEOS " + hex(d.fileOS) + "\n";
    rc += "FILETYPE " + hex(d.fileType) + "\n";
    rc += "FILESUBTYPE " + hex(d.fileSubtype) + "\n";
    rc += "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n";
    rc += "    BLOCK \"" + stringTableName(d.translations.front()) + "\"\n    BEGIN\n";
    for (const auto& [key, value] : d.strings) {
        rc += "      VALUE " + rcQuote(key) + ", " + rcQuote(value) + "\n";
    }
    rc += "    END\n  END\n  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\"";
    for (const Translation& t : d.translations) {
        rc += ", " + hex(t.language) + ", " + hex(t.codePage);
    }
    rc += "\n  END\nEND\n";
    return rc;
}

}  // namespace lsg::versionblock
