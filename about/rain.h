// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "core/tcolor.h"

namespace lsg::about {

// One falling character column head.
struct Drop {
    std::int32_t column = 0;
    std::int32_t row = 0;         // 0 is the top row; a drop runs down to rows + 1
    std::int32_t speed = 1;       // 1..3: moves on frames that are multiples of it
    std::int32_t brightness = 0;  // 0..99 per cent
};

// What one step asks of the surface: clear a cell, or draw a character in it on black.
struct RainCellOp {
    enum class Kind : std::uint8_t { Erase, Draw };
    Kind kind = Kind::Erase;
    std::int32_t column = 0;
    std::int32_t row = 0;
    int character = 0;  // index into the animation string (Draw only)
    TColor color = clBlack;
};

// The colour of a value 0..255 on the green-tinted scale of the rain.
constexpr TColor rainColor(int value) {
    return rgbColor(value * 150 / 255, value, value * 100 / 255);
}
constexpr int brightValue(int brightness) {
    return brightness * 255 / 100;
}
constexpr int dimValue(int brightness) {
    return brightValue(brightness) / 3;
}

// Returns a uniformly distributed integer in 0..bound-1 (0 when bound <= 0).
using RainRandom = std::function<int(int bound)>;

// The character rain as a pure model: a grid of 8 x 12 cells over the captured outer size of the
// window, at most kMaxDrops drops, and per tick the list of cells the surface has to change.
// The widget only applies those operations, so everything here is tested without a window.
class RainModel {
public:
    static constexpr int kCellWidth = 8;
    static constexpr int kCellHeight = 12;
    static constexpr int kMaxDrops = 5000;
    static constexpr int kTailLength = 40;

    // An empty source uses a seeded process-wide generator.
    explicit RainModel(RainRandom random = {});

    void setAnimation(const QString& characters) { m_animation = characters; }
    const QString& animation() const { return m_animation; }

    // Frame counter to 0, the grid from this outer size (kept from now on), then reset().
    void start(int outerWidth, int outerHeight);
    // Reseeds the drops on the captured grid; the frame counter keeps running.
    void reset();
    // Runs one tick over the drops in table order. The returned list stays valid until the next
    // tick or reset and reuses its storage, so a warm tick does not allocate.
    const std::vector<RainCellOp>& tick();

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    std::int32_t frame() const { return m_frame; }
    std::span<Drop> drops() { return m_drops; }
    std::span<const Drop> drops() const { return m_drops; }

private:
    int random(int bound);
    void step(const Drop& drop);

    RainRandom m_random;
    QString m_animation = QStringLiteral("qel");
    int m_columns = 0;
    int m_rows = 0;
    std::int32_t m_frame = 0;
    std::vector<Drop> m_drops;
    std::vector<RainCellOp> m_ops;
};

}  // namespace lsg::about
