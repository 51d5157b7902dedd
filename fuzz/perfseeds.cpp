// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// Writes sound performance-data blocks into a folder, to start the block walker's fuzzing
// from: two samples of two processors, and one sample of eight with the processor object
// first.
#include "tests/cpu/windows/perfblock.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lsg::adCpuUsage::test;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const char separator[] = "\xFF\xFE\xFD\xFC";

    PerfBlockContent first;
    first.idle = {1000000, 2000000, 1500000};
    PerfBlockContent second = first;
    second.time.second = 1;
    second.idle = {6000000, 9000000, 7500000};
    std::vector<std::uint8_t> two = buildPerfBlock(first).bytes;
    two.insert(two.end(), separator, separator + 4);
    const std::vector<std::uint8_t> next = buildPerfBlock(second).bytes;
    two.insert(two.end(), next.begin(), next.end());

    PerfBlockContent eight;
    eight.otherObjectFirst = false;
    eight.idle.assign(9, 123456789);
    return writeFile(folder + "/two-samples.bin", two) &&
                   writeFile(folder + "/eight-cpus.bin", buildPerfBlock(eight).bytes)
               ? 0
               : 1;
}
