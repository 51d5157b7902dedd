// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>
#include <vector>

#include "core/samplingtick.h"
#include "ui/messages.h"

namespace lsg {

class ChartSeries;
class TForm2;
namespace adCpuUsage {
class Sampler;
}

// The once-a-second sampling (Timer1): it owns the sampler, counts the processors once, builds
// one strip per processor in the gadget, and each second feeds every chart and writes the
// caption. A sampler error is shown by the error report, and the next second starts over.
class SamplingController : public QObject {
    Q_OBJECT

public:
    // `source` null: this machine's sampler, owned here; otherwise the source (a test's) must
    // outlive the controller.
    SamplingController(UsageSource* source, ui::Messages messages, QObject* parent = nullptr);
    ~SamplingController() override;

    // The gadget whose charts and caption the ticks feed; ticks before it is set do nothing.
    void setGadget(TForm2* gadget) { m_gadget = gadget; }

    // Counts the processors and builds their strips, once: null when done, else the sampler's
    // error text (the ticks count again until it answers).
    const char* countProcessors();
    bool processorsCounted() const { return m_counted; }
    // M: the processors the sampler reports, all of which the total averages.
    qint64 processorChartCount() const { return ProcessorChartCount; }

    // Whether the strips show; strips built later take the same state.
    void setStripsShown(bool shown);

    // Starts the ticks.
    void start() { Timer1.start(); }
    bool isRunning() const { return Timer1.isActive(); }
    // One tick.
    void Timer1Timer();

signals:
    // A tick fed the charts: the total chart's new value and the caption (for the tray).
    void ticked(qint64 totalPercent, const QString& caption);

private:
    QTimer Timer1;
    std::unique_ptr<adCpuUsage::Sampler> m_sampler;
    std::unique_ptr<UsageSource> m_samplerUsage;
    UsageSource* m_source;
    ui::Messages m_messages;
    TForm2* m_gadget = nullptr;
    ChartPushState m_charts;
    std::vector<ChartSeries*> m_stripSeries;  // strip i at index i - 1; built once
    qint64 ProcessorChartCount = 0;
    bool m_counted = false;
    bool m_stripsShown = false;
};

}  // namespace lsg
