// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "about/rain.h"

#include <QRandomGenerator>
#include <algorithm>
#include <utility>

namespace lsg::about {

RainModel::RainModel(RainRandom random) : m_random(std::move(random)) {}

int RainModel::random(int bound) {
    if (bound <= 0) {
        return 0;
    }
    if (m_random) {
        // A faulty source must not push a drop off its table or grid.
        return std::clamp(m_random(bound), 0, bound - 1);
    }
    return int(QRandomGenerator::global()->bounded(bound));
}

void RainModel::start(int outerWidth, int outerHeight) {
    m_frame = 0;
    m_columns = std::max(outerWidth, 0) / kCellWidth;
    m_rows = std::max(outerHeight, 0) / kCellHeight;
    reset();
}

void RainModel::reset() {
    const int count = std::min(2 * m_columns, kMaxDrops);
    m_drops.clear();
    m_drops.reserve(size_t(count));
    for (int k = 0; k < count; ++k) {
        Drop d;
        d.column = k % m_columns;
        d.row = random(m_rows);
        d.speed = 1 + random(3);
        d.brightness = random(100);
        m_drops.push_back(d);
    }
    // Three cells at most per drop and tick: the storage is sized once here.
    m_ops.clear();
    m_ops.reserve(m_drops.size() * 3);
}

void RainModel::step(const Drop& drop) {
    const int character = random(int(m_animation.size()));
    const int c = drop.column;
    const int r = drop.row;

    // The tail wraps by rows + 1, so on a short grid it lands only a few rows above the head
    // and the trail stays short.
    int tail = r - kTailLength;
    if (tail < 0) {
        const int span = m_rows + 1;
        tail = ((tail % span) + span) % span;
    }
    m_ops.push_back({RainCellOp::Kind::Erase, c, tail, 0, clBlack});

    const int bright = brightValue(drop.brightness);
    if (r > 0) {
        m_ops.push_back({RainCellOp::Kind::Draw, c, r - 1, character, rainColor(bright / 3)});
    }
    m_ops.push_back({RainCellOp::Kind::Draw, c, r, character, rainColor(bright)});
}

const std::vector<RainCellOp>& RainModel::tick() {
    m_ops.clear();
    for (Drop& drop : m_drops) {
        step(drop);
        if (m_frame % std::max(drop.speed, 1) == 0) {
            ++drop.row;
            if (drop.row > m_rows + 1) {
                drop.row = 0;
                drop.speed = 1 + random(3);
                drop.brightness = random(100);
            }
        }
    }
    // Wraps like the 32-bit counter it is, without signed overflow.
    m_frame = std::int32_t(std::uint32_t(m_frame) + 1u);
    return m_ops;
}

}  // namespace lsg::about
