// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/geometrywriter.h"

#include <utility>

#include "core/logging.h"
#include "core/settingskeys.h"

namespace lsg {
namespace {

constexpr int kPlaceWriteMs = 100;

}  // namespace

GeometryWriter::GeometryWriter(ui::Messages messages, QObject* parent)
    : QObject(parent), m_messages(std::move(messages)) {
    m_placeWriteTimer.setSingleShot(true);
    connect(&m_placeWriteTimer, &QTimer::timeout, this, &GeometryWriter::writePendingPlace);
}

GeometryWriter::~GeometryWriter() {
    // There is nobody left to tell of a failure.
    try {
        if (m_pendingPlace && m_file != nullptr) {
            writePlace(*m_pendingPlace);
        }
    } catch (const std::exception& e) {
        qCInfo(log::settings) << "the gadget's last place was not saved:" << e.what();
    }
}

void GeometryWriter::moved(const QPoint& position) {
    m_pendingPlace = position;
    const qint64 since =
        m_sincePlaceWritten.isValid() ? m_sincePlaceWritten.elapsed() : kPlaceWriteMs;
    if (since >= kPlaceWriteMs) {
        writePendingPlace();
    } else if (!m_placeWriteTimer.isActive()) {
        m_placeWriteTimer.start(int(kPlaceWriteMs - since));
    }
}

void GeometryWriter::writePendingPlace() {
    m_placeWriteTimer.stop();
    if (!m_pendingPlace) {
        return;
    }
    const QPoint position = *std::exchange(m_pendingPlace, std::nullopt);
    m_sincePlaceWritten.start();
    m_messages.guarded([this, &position] { writePlace(position); });
}

void GeometryWriter::writePlace(const QPoint& position) const {
    settings::writeInt(m_file, settings::Key::Left, position.x());
    settings::writeInt(m_file, settings::Key::Top, position.y());
}

void GeometryWriter::resized(const QSize& outerSize) {
    m_messages.guarded([this, &outerSize] {
        settings::writeInt(m_file, settings::Key::Height, outerSize.height());
        settings::writeInt(m_file, settings::Key::Width, outerSize.width());
    });
}

}  // namespace lsg
