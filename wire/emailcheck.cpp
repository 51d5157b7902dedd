// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#define PCRE2_CODE_UNIT_WIDTH 8
#include "wire/emailcheck.h"

#include <pcre2.h>

#include <QByteArray>
#include <memory>

namespace lsg::feedback {
namespace {

// Inside the last bracket the hyphen after 0-9 is a literal one: that class is letters, digits,
// hyphen and dot.
constexpr char kPattern[] = R"(^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$)";

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

// Compiled once; a compiled pattern may be shared by threads, match data may not.
const pcre2_code* compiledPattern() {
    static const std::unique_ptr<pcre2_code, CodeDeleter> code = [] {
        int error = 0;
        PCRE2_SIZE offset = 0;
        // UTF mode so that a multi-byte letter counts as one character that no class admits.
        return std::unique_ptr<pcre2_code, CodeDeleter>(
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPattern), PCRE2_ZERO_TERMINATED, PCRE2_UTF,
                          &error, &offset, nullptr));
    }();
    return code.get();
}

}  // namespace

bool isValidEmail(const QString& address) {
    const pcre2_code* code = compiledPattern();
    if (code == nullptr) {
        return false;
    }
    const QByteArray subject = address.toUtf8();
    const std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(code, nullptr));
    if (!data) {
        return false;
    }
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.constData()),
                               PCRE2_SIZE(subject.size()), 0, PCRE2_NOTEMPTY, data.get(), nullptr);
    if (rc < 0) {
        // No match, or a subject that is not valid UTF-8.
        return false;
    }
    // "$" also matches before a final line feed; the whole address must be the match.
    const PCRE2_SIZE* span = pcre2_get_ovector_pointer(data.get());
    return span[0] == 0 && span[1] == PCRE2_SIZE(subject.size());
}

}  // namespace lsg::feedback
