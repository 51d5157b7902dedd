// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#include "app/samplingcontroller.h"

#include <algorithm>

#include "core/logging.h"
#include "cpu/adcpuusage.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"

namespace lsg {
namespace {

// The sampler as the sampling tick reads it.
class SamplerUsage final : public UsageSource {
public:
    explicit SamplerUsage(adCpuUsage::Sampler& sampler) : m_sampler(sampler) {}
    const char* countInstances(std::int32_t& instances) override {
        const adCpuUsage::Measured<std::int32_t> count = m_sampler.CountProcessors();
        instances = count.value;
        return count.error;
    }
    const char* sample() override { return m_sampler.SampleProcessors(); }
    const char* usage(std::int32_t index, double& fraction) override {
        const adCpuUsage::Measured<double> usage = m_sampler.ProcessorUsage(index);
        fraction = usage.value;
        return usage.error;
    }

private:
    adCpuUsage::Sampler& m_sampler;
};

}  // namespace

SamplingController::SamplingController(UsageSource* source, ui::Messages messages, QObject* parent)
    : QObject(parent), m_source(source), m_messages(std::move(messages)) {
    if (m_source == nullptr) {
        m_sampler = std::make_unique<adCpuUsage::Sampler>(adCpuUsage::liveSetup());
        m_samplerUsage = std::make_unique<SamplerUsage>(*m_sampler);
        m_source = m_samplerUsage.get();
    }
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &SamplingController::Timer1Timer);
}

SamplingController::~SamplingController() = default;

const char* SamplingController::countProcessors() {
    if (m_counted || m_gadget == nullptr) {
        return nullptr;
    }
    std::int32_t instances = 0;
    if (const char* error = m_source->countInstances(instances)) {
        return error;
    }
    m_counted = true;
    ProcessorChartCount = instances - 1;
    const int strips = int(std::clamp<qint64>(ProcessorChartCount, 0, kMaxStrips));
    m_gadget->createStrips(strips, m_stripsShown);
    // Built once, so the tick allocates nothing for it.
    m_stripSeries.clear();
    for (int i = 1; i <= m_gadget->stripCount(); ++i) {
        m_stripSeries.push_back(m_gadget->strip(i));
    }
    m_charts.reset();
    return nullptr;
}

void SamplingController::setStripsShown(bool shown) {
    m_stripsShown = shown;
    if (m_gadget != nullptr) {
        m_gadget->setStripsVisible(shown);
    }
}

void SamplingController::Timer1Timer() {
    if (m_gadget == nullptr) {
        return;
    }
    if (!m_counted) {
        // Start-up could not count the processors: try again, quietly, each tick.
        if (const char* error = countProcessors()) {
            qCDebug(log::cpu) << "counting the processors failed again:" << error;
            return;
        }
        qCInfo(log::cpu) << "processors counted:" << ProcessorChartCount;
    }
    const TickOutcome outcome =
        runSamplingTick(m_charts, *m_source, ProcessorChartCount, m_stripSeries, *m_gadget->Chart1);
    if (outcome.error != nullptr) {
        m_messages.errorReport(sampleErrorText(outcome.error));
        return;
    }
    m_gadget->Label1->setText(outcome.caption);
    const std::optional<double> total = m_gadget->Chart1->yValue(kChartPoints - 1);
    emit ticked(total ? qint64(*total) : 0, outcome.caption);
}

}  // namespace lsg
