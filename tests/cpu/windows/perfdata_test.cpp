// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "tests/cpu/windows/perfblock.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>

namespace lsg::adCpuUsage::test {
namespace {

TEST(SystemTimeConversion, CountsHundredNanosecondsSince1601) {
    struct Case {
        SystemTime time;
        bool valid;
        std::int64_t fileTime;
    };
    const Case cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, true, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, true, 116444736000000000},
        {{2000, 2, 2, 29, 23, 59, 59, 999}, true, 125963423999990000},
        {{2026, 3, 1, 2, 10, 0, 1, 500}, true, 134169192015000000},
        {{30827, 12, 0, 31, 23, 59, 59, 999}, true, 9223149887999990000},
        {{1600, 12, 0, 31, 0, 0, 0, 0}, false, 0},
        {{2001, 2, 0, 29, 0, 0, 0, 0}, false, 0},
        {{2026, 13, 0, 1, 0, 0, 0, 0}, false, 0},
        {{2026, 0, 0, 1, 0, 0, 0, 0}, false, 0},
        {{2026, 4, 0, 31, 0, 0, 0, 0}, false, 0},
        {{2026, 1, 0, 1, 24, 0, 0, 0}, false, 0},
        {{2026, 1, 0, 1, 0, 0, 0, 1000}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.time.year << '-' << c.time.month << '-' << c.time.day);
        std::int64_t fileTime = -1;
        EXPECT_EQ(systemTimeToFileTime(c.time, fileTime), c.valid);
        if (c.valid) {
            EXPECT_EQ(fileTime, c.fileTime);
        }
    }
}

// A good block of three instances, sampled after a good first sample, with one corruption.
// Whatever the corruption, the walk fails with one of the sampler's errors or delivers values;
// it never reads outside the delivered bytes (the fake fills the rest with 0xAB bytes, so
// such a read would deliver a 0xABAB... counter).
struct Corruption {
    const char* what;
    std::function<void(PerfBlock&)> apply;
    const char* error;            // expected error, or nullptr
    std::vector<bool> delivered;  // per instance, when no error: does it carry its value
};

constexpr std::int64_t kIdle[] = {4'000'000, 6'000'000, 5'000'000};

PerfBlock goodBlock(std::int64_t ms) {
    PerfBlockContent content;
    content.time.second = static_cast<std::uint16_t>(ms / 1000);
    content.idle.assign(std::begin(kIdle), std::end(kIdle));
    return buildPerfBlock(content);
}

constexpr std::uint32_t kBig = 0xFFFFFFF0u;

const char* const kObjectError = "Unable to locate the \"Processor\" performance object";
const char* const kCounterError = "Unable to locate the \"% of CPU usage\" performance counter";

std::string sampleAfterGoodOne(const PerfBlock& second, CounterTable& table) {
    auto fake = std::make_shared<FakePerfData>();
    // The first sample sees every instance at 0, so delivered values read as 1 − idle/1 s.
    PerfBlockContent zero;
    zero.idle = {0, 0, 0};
    fake->blocks = {buildPerfBlock(zero).bytes, second.bytes};
    auto source = makeSource(fake);
    EXPECT_EQ(source->sample(table), nullptr);
    const SampleError error = source->sample(table);
    return error != nullptr ? error : "";
}

TEST(PerfDataWalk, CorruptBlocksFailOrDeliverButNeverReadOutside) {
    using B = PerfBlock;
    const std::vector<Corruption> cases = {
        {"intact", [](B&) {}, nullptr, {true, true, true}},
        {"header length past the end",
         [](B& b) { b.put<std::uint32_t>(perf::kBlockHeaderLength, kBig); },
         kObjectError,
         {}},
        {"endless object count, zero object length",
         [](B& b) {
             b.put<std::uint32_t>(perf::kBlockNumObjectTypes, kBig);
             b.put<std::uint32_t>(perf::kBlockSize + perf::kObjectTotalByteLength, 0);
         },
         kObjectError,
         {}},
        {"first object's length past the end",
         [](B& b) { b.put<std::uint32_t>(perf::kBlockSize + perf::kObjectTotalByteLength, kBig); },
         kObjectError,
         {}},
        {"no objects",
         [](B& b) { b.put<std::uint32_t>(perf::kBlockNumObjectTypes, 0); },
         kObjectError,
         {}},
        {"endless counter count, zero definition length",
         [](B& b) {
             b.put<std::uint32_t>(b.processorObject + perf::kObjectNumCounters, kBig);
             b.put<std::uint32_t>(b.firstCounterDefinition + perf::kCounterByteLength, 0);
         },
         kCounterError,
         {}},
        {"definition length past the end",
         [](B& b) {
             b.put<std::uint32_t>(b.firstCounterDefinition + perf::kCounterByteLength, kBig);
         },
         kCounterError,
         {}},
        {"counter header past the end",
         [](B& b) { b.put<std::uint32_t>(b.processorObject + perf::kObjectHeaderLength, kBig); },
         kCounterError,
         {}},
        {"object shorter than its definitions",
         [](B& b) {
             b.put<std::uint32_t>(b.processorObject + perf::kObjectTotalByteLength,
                                  perf::kObjectSize + 8);
         },
         kCounterError,
         {}},
        {"object ends inside the second instance",
         [](B& b) {
             b.put<std::uint32_t>(b.processorObject + perf::kObjectTotalByteLength,
                                  b.counterBlocks[1] + 12 - b.processorObject);
         },
         nullptr,
         {true, false, false}},
        {"counter offset past the end",
         [](B& b) { b.put<std::uint32_t>(b.processorTimeDefinition + perf::kCounterOffset, kBig); },
         nullptr,
         {false, false, false}},
        {"instances start past the end",
         [](B& b) {
             b.put<std::uint32_t>(b.processorObject + perf::kObjectDefinitionLength, kBig);
         },
         nullptr,
         {false, false, false}},
        {"instance length past the end",
         [](B& b) { b.put<std::uint32_t>(b.instances[1] + perf::kInstanceByteLength, kBig); },
         nullptr,
         {true, false, false}},
        {"counter block length past the end",
         [](B& b) {
             b.put<std::uint32_t>(b.counterBlocks[0] + perf::kCounterBlockByteLength, kBig);
         },
         nullptr,
         {true, false, false}},
        {"fewer instances listed",
         [](B& b) { b.put<std::int32_t>(b.processorObject + perf::kObjectNumInstances, 1); },
         nullptr,
         {true, false, false}},
        {"no instances listed",
         [](B& b) { b.put<std::int32_t>(b.processorObject + perf::kObjectNumInstances, -1); },
         nullptr,
         {false, false, false}},
        {"block cut before its last counter",
         [](B& b) { b.bytes.resize(b.counterBlocks[2] + 12); },
         nullptr,
         {true, true, false}},
        {"block cut inside its header", [](B& b) { b.bytes.resize(40); }, kObjectError, {}},
        {"empty block", [](B& b) { b.bytes.clear(); }, kObjectError, {}},
    };
    for (const Corruption& c : cases) {
        SCOPED_TRACE(c.what);
        PerfBlock block = goodBlock(1000);
        c.apply(block);
        CounterTable table;
        const std::string error = sampleAfterGoodOne(block, table);
        if (c.error) {
            EXPECT_EQ(error, c.error);
            EXPECT_EQ(table.usage(0), 0.0);  // still the one good sample: no interval
            continue;
        }
        ASSERT_EQ(error, "");
        const std::int64_t elapsed = table.currentTime() - table.previousTime();
        for (std::int32_t i = 0; i < 3; ++i) {
            const double expected =
                c.delivered[i] ? 1.0 - static_cast<double>(kIdle[i]) / static_cast<double>(elapsed)
                               : 0.0;
            EXPECT_EQ(table.usage(i), expected) << "instance " << i;
        }
    }
}

TEST(PerfDataWalk, HostileInstanceCountOnTheFirstSampleIsNoProcessorObject) {
    for (const std::int32_t listed : {0, -1, -5, 1 << 30, 0x7FFFFFFF}) {
        SCOPED_TRACE(listed);
        PerfBlock block = goodBlock(0);
        block.put<std::int32_t>(block.processorObject + perf::kObjectNumInstances, listed);
        auto fake = std::make_shared<FakePerfData>();
        fake->blocks = {block.bytes};
        CounterTable table;
        const SampleError error = makeSource(fake)->sample(table);
        EXPECT_STREQ(error, kObjectError);
        EXPECT_EQ(table.instanceCount(), -1);
    }
}

TEST(PerfDataWalk, InstanceListedButNotPresentIsAbsent) {
    PerfBlockContent zero;
    zero.idle = {0, 0, 0};
    PerfBlock first = buildPerfBlock(zero);
    PerfBlock second = goodBlock(1000);
    for (PerfBlock* b : {&first, &second}) {
        b->put<std::int32_t>(b->processorObject + perf::kObjectNumInstances, 4);
    }
    auto fake = std::make_shared<FakePerfData>();
    fake->blocks = {first.bytes, second.bytes};
    CounterTable table;
    auto source = makeSource(fake);
    source->sample(table);
    source->sample(table);
    EXPECT_EQ(table.instanceCount(), 4);
    EXPECT_EQ(table.usage(2), 0.5);
    EXPECT_EQ(table.usage(3), 0.0);
}

TEST(PerfDataWalk, UnconvertibleTimeStampMakesThatIntervalZero) {
    auto fake = std::make_shared<FakePerfData>();
    PerfBlockContent content;
    content.idle = {0, 0};
    const auto first = buildPerfBlock(content).bytes;
    content.time.month = 14;
    content.idle = {2'000'000, 2'000'000};
    const auto broken = buildPerfBlock(content).bytes;
    fake->blocks = {first, broken};
    CounterTable table;
    auto source = makeSource(fake);
    source->sample(table);
    source->sample(table);
    EXPECT_EQ(table.usage(0), 0.0);
    EXPECT_EQ(table.currentTime(), table.previousTime());
}

// Every truncation and many random byte corruptions of a good block: fail with a known error
// or deliver; never crash, hang, or read past the delivered bytes.
TEST(PerfDataWalk, FuzzedBlocksNeverMisbehave) {
    const std::set<std::string> known = {kObjectError, kCounterError};
    const PerfBlock good = goodBlock(1000);
    std::mt19937 random(20260302);
    std::vector<PerfBlock> blocks;
    for (std::size_t cut = 0; cut < good.bytes.size(); ++cut) {
        PerfBlock b = good;
        b.bytes.resize(cut);
        blocks.push_back(std::move(b));
    }
    for (int round = 0; round < 3000; ++round) {
        PerfBlock b = good;
        for (int flips = 1 + round % 4; flips > 0; --flips) {
            b.bytes[random() % b.bytes.size()] = static_cast<std::uint8_t>(random());
        }
        blocks.push_back(std::move(b));
    }
    for (const PerfBlock& b : blocks) {
        CounterTable table;
        const std::string error = sampleAfterGoodOne(b, table);
        if (!error.empty()) {
            ASSERT_TRUE(known.count(error)) << error;
            continue;
        }
        for (std::int32_t i = 0; i < table.instanceCount(); ++i) {
            ASSERT_NE(static_cast<std::uint64_t>(table.current(i)), 0xABABABABABABABABu);
        }
    }
}

}  // namespace
}  // namespace lsg::adCpuUsage::test
