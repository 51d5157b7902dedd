// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <optional>

#include "ui/messages.h"

namespace lsg {

class IniFile;

// Writes the gadget's place and size to the settings file as the user changes them. A drag
// moves the gadget at every pointer step and each write replaces the whole file, so a place is
// written at most every 100 ms, once more where the drag ends, and, should the program end
// before its turn, then.
class GeometryWriter : public QObject {
    Q_OBJECT

public:
    explicit GeometryWriter(ui::Messages messages, QObject* parent = nullptr);
    // Writes a place still waiting for its turn.
    ~GeometryWriter() override;

    // The file start-up opened; until then nothing is written.
    void setFile(IniFile* file) { m_file = file; }

    // The frame's new top-left corner ("Left", "Top").
    void moved(const QPoint& position);
    // The frame's new size ("Height", "Width").
    void resized(const QSize& outerSize);
    // A drag has ended: its place is written now.
    void writePendingPlace();

private:
    void writePlace(const QPoint& position) const;

    IniFile* m_file = nullptr;
    ui::Messages m_messages;
    std::optional<QPoint> m_pendingPlace;
    QElapsedTimer m_sincePlaceWritten;
    QTimer m_placeWriteTimer;
};

}  // namespace lsg
