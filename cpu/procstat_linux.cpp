// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "cpu/procstat.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace lsg::adCpuUsage {

namespace {

// A file whose CPU lines do not end within this many bytes is read only this far.
constexpr std::size_t kMaxCapacity = 64u << 20;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool startsWithCpu(std::string_view line) {
    return line.substr(0, 3) == "cpu";
}

// The CPU lines come first (proc.rst); everything from the first other complete line on is
// of no interest. ended tells whether such a line was found.
std::size_t cpuSectionLength(std::string_view text, bool& ended) {
    std::size_t pos = 0;
    ended = false;
    while (pos < text.size()) {
        const auto* newline =
            static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
        const std::size_t end =
            newline ? static_cast<std::size_t>(newline - text.data()) : text.size();
        if (!startsWithCpu(text.substr(pos, end - pos))) {
            ended = newline != nullptr;
            return pos;
        }
        pos = end + 1;
    }
    return text.size();
}

template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto* newline =
            static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
        const std::size_t end =
            newline ? static_cast<std::size_t>(newline - text.data()) : text.size();
        visit(text.substr(pos, end - pos));
        pos = end + 1;
    }
}

}  // namespace

struct ProcStatSource::Line {
    std::uint32_t cpu = 0;
    std::uint64_t total = 0;
    std::uint64_t busy = 0;
};

ProcStatSource::ProcStatSource(std::string path, long ticksPerSecond)
    : m_path(std::move(path)),
      m_hz(ticksPerSecond > 0 ? ticksPerSecond : sysconf(_SC_CLK_TCK)),
      m_buffer(std::make_unique<char[]>(m_capacity)) {
    if (m_hz <= 0) {
        m_hz = 100;
    }
}

ProcStatSource::~ProcStatSource() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

// "cpuN f1 f2 ...": N a decimal CPU number, then at least the four columns up to idle, every
// column plain decimal digits. Anything else (the aggregate line included) is not a CPU line.
bool ProcStatSource::parseLine(std::string_view line, Line& out) {
    if (line.size() < 4 || !startsWithCpu(line) || !isDigit(line[3])) {
        return false;
    }
    std::size_t pos = 3;
    std::uint64_t cpu = 0;
    while (pos < line.size() && isDigit(line[pos])) {
        cpu = cpu * 10 + static_cast<unsigned>(line[pos++] - '0');
        if (cpu > std::numeric_limits<std::uint32_t>::max()) {
            return false;
        }
    }
    std::uint64_t field[8] = {};
    int fields = 0;
    while (fields < 8) {
        if (pos < line.size() && line[pos] != ' ') {
            return false;
        }
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
        if (pos == line.size()) {
            break;
        }
        if (!isDigit(line[pos])) {
            return false;
        }
        std::uint64_t value = 0;
        while (pos < line.size() && isDigit(line[pos])) {
            const auto digit = static_cast<unsigned>(line[pos++] - '0');
            constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
            value = value > kMax / 10 || (value == kMax / 10 && digit > kMax % 10)
                        ? kMax
                        : value * 10 + digit;
        }
        field[fields++] = value;
    }
    if (fields < 4) {
        return false;
    }
    // user nice system idle iowait irq softirq steal; I/O wait counts as idle time.
    out.cpu = static_cast<std::uint32_t>(cpu);
    out.busy = field[0] + field[1] + field[2] + field[5] + field[6] + field[7];
    out.total = out.busy + field[3] + field[4];
    return true;
}

std::optional<std::string_view> ProcStatSource::readFile() {
    if (m_fd < 0) {
        m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            return std::nullopt;
        }
    }
    for (;;) {
        const ssize_t n = ::pread(m_fd, m_buffer.get(), m_capacity, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ::close(m_fd);  // opened again by the next sample
            m_fd = -1;
            return std::nullopt;
        }
        std::string_view text(m_buffer.get(), static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < m_capacity) {
            return text;
        }
        bool ended = false;
        cpuSectionLength(text, ended);
        if (ended || m_capacity >= kMaxCapacity) {
            // The buffer was filled: its last line may be cut short.
            const std::size_t lastNewline = text.rfind('\n');
            return text.substr(0, lastNewline == std::string_view::npos ? 0 : lastNewline + 1);
        }
        // Only while warming up: the buffer is kept at its new size.
        m_buffer = std::make_unique<char[]>(m_capacity * 2);
        m_capacity *= 2;
    }
}

SampleError ProcStatSource::fixInstances(UsageComputer& computer, std::string_view text) {
    std::vector<std::uint32_t> numbers;
    forEachLine(text, [&](std::string_view line) {
        Line parsed;
        if (parseLine(line, parsed)) {
            numbers.push_back(parsed.cpu);
        }
    });
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    if (numbers.empty() ||
        numbers.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return kProcessorObjectError;
    }
    const auto n = numbers.size();
    m_cpuNumbers = std::make_unique<std::uint32_t[]>(n);
    std::copy(numbers.begin(), numbers.end(), m_cpuNumbers.get());
    m_cpuCount = static_cast<std::int32_t>(n);

    UsageComputer::Layout layout;
    layout.instances = m_cpuCount + 1;
    layout.aggregateFromProcessors = true;
    layout.ticksPerSecond = m_hz;
    layout.minimumIntervalMs = kMinIntervalMs;
    computer.fix(layout);
    return nullptr;
}

SampleError ProcStatSource::sample(UsageComputer& computer) {
    const std::optional<std::string_view> text = readFile();
    if (!text) {
        return kProcessorObjectError;
    }
    return sampleText(computer, *text);
}

SampleError ProcStatSource::sampleText(UsageComputer& computer, std::string_view text) {
    bool ended = false;
    text = text.substr(0, cpuSectionLength(text, ended));
    if (m_cpuCount == 0) {
        if (const SampleError error = fixInstances(computer, text)) {
            return error;
        }
    }
    const std::int32_t n = m_cpuCount;

    // Hand every CPU line's ticks, found by CPU number. Nothing is final before endSample(),
    // so a text without CPU lines leaves the last interval as it was.
    computer.beginSample();
    bool anyCpuLine = false;
    std::int32_t hint = 0;
    forEachLine(text, [&](std::string_view line) {
        Line parsed;
        if (!parseLine(line, parsed)) {
            return;
        }
        anyCpuLine = true;
        std::int32_t k = hint;
        if (k >= n || m_cpuNumbers[k] != parsed.cpu) {
            const std::uint32_t* begin = m_cpuNumbers.get();
            const std::uint32_t* end = begin + n;
            const auto* it = std::lower_bound(begin, end, parsed.cpu);
            if (it == end || *it != parsed.cpu) {
                return;  // a CPU that came online after the first sample
            }
            k = static_cast<std::int32_t>(it - begin);
        }
        computer.set(k, parsed.busy, parsed.total);
        hint = k + 1;
    });
    if (!anyCpuLine) {
        return kProcessorObjectError;
    }
    computer.endSample();
    return nullptr;
}

}  // namespace lsg::adCpuUsage
