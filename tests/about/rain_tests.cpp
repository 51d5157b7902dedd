// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <utility>
#include <vector>

#include "about/rain.h"

namespace {

using lsg::TColor;
using lsg::about::Drop;
using lsg::about::RainCellOp;
using lsg::about::RainModel;
using Kind = RainCellOp::Kind;

// Outer size giving exactly this grid.
RainModel grid(int columns, int rows, lsg::about::RainRandom random = {}) {
    RainModel model(std::move(random));
    model.start(columns * RainModel::kCellWidth + 7, rows * RainModel::kCellHeight + 11);
    return model;
}

// Puts every drop of a one-column grid on the same state, so the column shows one drop's
// trail (the second drop repeats the first one's cells).
void placeAll(RainModel& model, int row, int speed, int brightness) {
    for (Drop& d : model.drops()) {
        d.row = row;
        d.speed = speed;
        d.brightness = brightness;
    }
}

// A surface that applies the operations the way the window does.
struct Surface {
    std::map<std::pair<int, int>, TColor> cells;  // drawn cells and their colour
    void apply(const std::vector<RainCellOp>& ops) {
        for (const RainCellOp& op : ops) {
            if (op.kind == Kind::Erase) {
                cells.erase({op.column, op.row});
            } else {
                cells[{op.column, op.row}] = op.color;
            }
        }
    }
    int countColor(TColor color) const {
        int n = 0;
        for (const auto& [cell, c] : cells) {
            n += c == color ? 1 : 0;
        }
        return n;
    }
};

constexpr TColor kBright99 = lsg::rgbColor(148, 252, 98);
constexpr TColor kDim99 = lsg::rgbColor(49, 84, 32);

TEST(RainModel, GridComesFromTheOuterSizeAndSeedsTwoDropsPerColumn) {
    std::vector<int> bounds;
    RainModel model([&](int bound) {
        bounds.push_back(bound);
        return bound - 1;
    });
    model.start(460, 411);
    EXPECT_EQ(model.columns(), 57);
    EXPECT_EQ(model.rows(), 34);
    ASSERT_EQ(model.drops().size(), 114u);
    for (size_t k = 0; k < model.drops().size(); ++k) {
        const Drop& d = model.drops()[k];
        EXPECT_EQ(d.column, int(k % 57));
        EXPECT_EQ(d.row, 33);
        EXPECT_EQ(d.speed, 3);
        EXPECT_EQ(d.brightness, 99);
    }
    // Per drop: a row below rows, a speed of three kinds, a brightness of a hundred steps.
    ASSERT_EQ(bounds.size(), 3u * 114u);
    EXPECT_EQ(bounds[0], 34);
    EXPECT_EQ(bounds[1], 3);
    EXPECT_EQ(bounds[2], 100);
    EXPECT_EQ(model.frame(), 0);
}

TEST(RainModel, RealRandomSourceStaysInRange) {
    RainModel model;
    model.start(460, 411);
    for (int t = 0; t < 200; ++t) {
        model.tick();
        for (const Drop& d : model.drops()) {
            ASSERT_GE(d.row, 0);
            ASSERT_LE(d.row, model.rows() + 1);
            ASSERT_GE(d.speed, 1);
            ASSERT_LE(d.speed, 3);
            ASSERT_GE(d.brightness, 0);
            ASSERT_LE(d.brightness, 99);
        }
    }
    EXPECT_EQ(model.frame(), 200);
}

TEST(RainModel, FirstTickMovesEveryDropLaterTicksOnlyOnMultiplesOfTheSpeed) {
    RainModel model = grid(3, 30);
    const int speeds[] = {1, 2, 3, 1, 2, 3};
    for (size_t k = 0; k < model.drops().size(); ++k) {
        model.drops()[k].row = 5;
        model.drops()[k].speed = speeds[k];
    }
    model.tick();  // frame 0
    for (const Drop& d : model.drops()) {
        EXPECT_EQ(d.row, 6);
    }
    model.tick();  // frame 1: speed 1 only
    model.tick();  // frame 2: speeds 1 and 2
    model.tick();  // frame 3: speeds 1 and 3
    const int expected[] = {9, 7, 7, 9, 7, 7};
    for (size_t k = 0; k < model.drops().size(); ++k) {
        EXPECT_EQ(model.drops()[k].row, expected[k]) << "drop " << k;
    }
}

TEST(RainModel, StepErasesTheTailThenDrawsDimAboveAndBrightAtTheHead) {
    RainModel model = grid(1, 34, [](int bound) { return bound - 1; });
    placeAll(model, 12, 1, 99);
    const std::vector<RainCellOp> ops = model.tick();
    ASSERT_EQ(ops.size(), 6u);
    EXPECT_EQ(ops[0].kind, Kind::Erase);
    EXPECT_EQ(ops[0].row, 7);  // 12 - 40 + 35
    EXPECT_EQ(ops[1].kind, Kind::Draw);
    EXPECT_EQ(ops[1].row, 11);
    EXPECT_EQ(ops[1].color, kDim99);
    EXPECT_EQ(ops[2].kind, Kind::Draw);
    EXPECT_EQ(ops[2].row, 12);
    EXPECT_EQ(ops[2].color, kBright99);
    // The dim cell shows the head's own character.
    EXPECT_EQ(ops[1].character, ops[2].character);
    EXPECT_EQ(ops[2].character, 2);  // the last of "qel" from this source
}

TEST(RainModel, RowZeroDrawsNoDimCharacter) {
    RainModel model = grid(1, 34);
    placeAll(model, 0, 2, 50);
    const std::vector<RainCellOp>& ops = model.tick();
    ASSERT_EQ(ops.size(), 4u);  // two drops: erase and bright each
    EXPECT_EQ(ops[0].kind, Kind::Erase);
    EXPECT_EQ(ops[0].row, 30);  // -40 wrapped by 35
    EXPECT_EQ(ops[1].kind, Kind::Draw);
    EXPECT_EQ(ops[1].row, 0);
}

TEST(RainModel, DropBelowTheGridIsDrawnMovesAndRestartsAtTheTop) {
    std::deque<int> script;  // empty while seeding: zeros
    RainModel model = grid(1, 34, [&](int) {
        if (script.empty()) {
            return 0;
        }
        const int v = script.front();
        script.pop_front();
        return v;
    });
    // In call order: the first drop's character, its new speed (2) and brightness (42).
    script = {0, 1, 42};
    model.drops()[0] = Drop{0, 35, 3, 70};
    model.drops()[1] = Drop{0, 10, 2, 70};
    const std::vector<RainCellOp>& ops = model.tick();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[2].kind, Kind::Draw);
    EXPECT_EQ(ops[2].row, 35);  // drawn below the last row
    EXPECT_EQ(model.drops()[0].row, 0);
    EXPECT_EQ(model.drops()[0].speed, 2);
    EXPECT_EQ(model.drops()[0].brightness, 42);
    EXPECT_EQ(model.drops()[0].column, 0);
    EXPECT_EQ(model.drops()[1].row, 11);  // the other drop just moves

    // One row higher it only moves.
    model.drops()[0] = Drop{0, 34, 1, 70};
    model.tick();
    EXPECT_EQ(model.drops()[0].row, 35);
}

TEST(RainModel, TailEraseWrapsByRowsPlusOne) {
    struct Case {
        int rows, head, tail;
    };
    const Case cases[] = {
        {34, 10, 5}, {34, 5, 0},   {34, 4, 34}, {34, 35, 30}, {34, 0, 30},
        {40, 40, 0}, {40, 39, 40}, {50, 45, 5}, {50, 10, 21}, {0, 1, 0},
    };
    for (const Case& c : cases) {
        RainModel model = grid(1, c.rows);
        placeAll(model, c.head, 2, 50);
        const std::vector<RainCellOp>& ops = model.tick();
        ASSERT_FALSE(ops.empty());
        EXPECT_EQ(ops[0].kind, Kind::Erase);
        EXPECT_EQ(ops[0].row, c.tail) << "rows " << c.rows << " head " << c.head;
    }
}

TEST(RainModel, ThirtyFourRowsLeaveAtMostFourDimCharactersBehindTheHead) {
    RainModel model = grid(1, 34);
    placeAll(model, 0, 1, 99);
    Surface surface;
    for (int t = 0; t < 30; ++t) {
        surface.apply(model.tick());
        const int head = model.drops()[0].row - 1;  // the row drawn bright this tick
        EXPECT_LE(surface.countColor(kDim99), 4) << "head at " << head;
        if (head >= 5) {
            EXPECT_EQ(surface.countColor(kDim99), 4);
            for (int r = head - 4; r < head; ++r) {
                EXPECT_EQ(surface.cells.count({0, r}), 1u) << r;
            }
        }
        EXPECT_EQ(surface.countColor(kBright99), 1);
    }
}

TEST(RainModel, FortyRowsOrMoreShowTheFullTrail) {
    RainModel model = grid(1, 50);
    placeAll(model, 0, 1, 99);
    Surface surface;
    for (int t = 0; t < 45; ++t) {
        surface.apply(model.tick());
    }
    // Head drawn at row 44: dim rows 5..43.
    EXPECT_EQ(surface.countColor(kDim99), 39);
    EXPECT_EQ(surface.cells.at({0, 44}), kBright99);
    EXPECT_EQ(surface.cells.count({0, 4}), 0u);
}

TEST(RainModel, Colours) {
    EXPECT_EQ(lsg::about::rainColor(lsg::about::brightValue(99)), kBright99);
    EXPECT_EQ(lsg::about::rainColor(lsg::about::dimValue(99)), kDim99);
    EXPECT_EQ(lsg::about::rainColor(255), lsg::rgbColor(150, 255, 100));
    EXPECT_EQ(lsg::about::rainColor(0), lsg::clBlack);
}

TEST(RainModel, BrightnessZeroDrawsBlackButStillErases) {
    RainModel model = grid(1, 34);
    placeAll(model, 20, 1, 0);
    Surface surface;
    surface.cells[{0, 15}] = kBright99;  // something earlier in the tail cell
    const std::vector<RainCellOp>& ops = model.tick();
    for (const RainCellOp& op : ops) {
        EXPECT_EQ(op.color, lsg::clBlack);
    }
    surface.apply(ops);
    EXPECT_EQ(surface.cells.count({0, 15}), 0u);
}

TEST(RainModel, AtMostFiveThousandDrops) {
    struct Case {
        int columns;
        int twoDropColumns;  // columns 0..n-1 get two drops, the rest one, none beyond 5000
    };
    for (const Case& c : {Case{2500, 2500}, Case{3000, 2000}, Case{6000, 0}}) {
        RainModel model = grid(c.columns, 10);
        ASSERT_EQ(model.columns(), c.columns);
        ASSERT_EQ(model.drops().size(), size_t(std::min(2 * c.columns, 5000)));
        std::vector<int> perColumn(size_t(c.columns), 0);
        for (const Drop& d : model.drops()) {
            ++perColumn[size_t(d.column)];
        }
        for (int col = 0; col < c.columns; ++col) {
            const int expected = col < c.twoDropColumns ? 2 : (col < 5000 ? 1 : 0);
            ASSERT_EQ(perColumn[size_t(col)], expected) << c.columns << " columns, column " << col;
        }
        model.tick();  // the tick copes with the full table
    }
}

TEST(RainModel, ResetReseedsOnTheCapturedGridAndKeepsTheFrame) {
    int next = 0;
    RainModel model([&](int bound) { return next++ % bound; });
    model.start(460, 411);
    model.tick();
    model.tick();
    const std::vector<Drop> before(model.drops().begin(), model.drops().end());
    model.reset();
    EXPECT_EQ(model.columns(), 57);
    EXPECT_EQ(model.rows(), 34);
    EXPECT_EQ(model.frame(), 2);
    ASSERT_EQ(model.drops().size(), before.size());
    bool changed = false;
    for (size_t k = 0; k < before.size(); ++k) {
        EXPECT_EQ(model.drops()[k].column, before[k].column);
        changed = changed || model.drops()[k].row != before[k].row;
    }
    EXPECT_TRUE(changed);
    model.start(100, 100);  // only a new start takes a new size
    EXPECT_EQ(model.columns(), 12);
    EXPECT_EQ(model.frame(), 0);
}

TEST(RainModel, WarmTicksReuseTheirStorage) {
    RainModel model = grid(57, 34);
    const RainCellOp* storage = model.tick().data();
    for (int t = 0; t < 100; ++t) {
        EXPECT_EQ(model.tick().data(), storage);
    }
}

TEST(RainModel, DegenerateSizesAndInputsAreHarmless) {
    RainModel tiny;
    tiny.start(5, 5);  // no column: no drops
    EXPECT_TRUE(tiny.drops().empty());
    EXPECT_TRUE(tiny.tick().empty());
    tiny.start(-80, -120);
    EXPECT_TRUE(tiny.tick().empty());

    RainModel flat;
    flat.start(16, 5);  // no row: drops run over rows 0 and 1 only
    for (int t = 0; t < 10; ++t) {
        for (const RainCellOp& op : flat.tick()) {
            EXPECT_GE(op.row, 0);
            EXPECT_LE(op.row, 1);
        }
    }

    // A source out of range and a zero speed neither crash nor leave the grid.
    RainModel wild = grid(2, 10, [](int bound) { return bound * 7 - 100; });
    wild.drops()[0].speed = 0;
    wild.tick();
    for (const Drop& d : wild.drops()) {
        EXPECT_GE(d.row, 0);
        EXPECT_LE(d.row, 11);
    }
    wild.setAnimation(QString());
    for (const RainCellOp& op : wild.tick()) {
        EXPECT_EQ(op.character, 0);
    }
}

}  // namespace
