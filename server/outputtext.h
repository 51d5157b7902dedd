// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>

#include <string>

// What the export and the report print of stored text, which came from anyone on the internet and
// lands on the maker's terminal: nothing in it may move the cursor, end a line or record, or turn
// the text's direction.
namespace lsg::server {

// Control characters of every kind (C0, DEL, C1), the line and paragraph separators, and the
// characters that set or override the direction of text.
bool isUnsafeForDisplay(char16_t c);

// The text as a JSON string literal in UTF-8, quotes included, with every unsafe character and
// every unpaired surrogate written as \uXXXX.
std::string jsonString(const QString& text);

// The text in UTF-8 for a tab-separated line: a backslash doubled, every unsafe character (tabs
// and line breaks among them) and unpaired surrogate written as \uXXXX.
std::string reportText(const QString& text);

}  // namespace lsg::server
