// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers

// What one second of the gadget costs: a sample of /proc/stat-format counters, the push of
// every percentage into its chart, the caption, and the repaint that follows, for 2, 8, 64, 128
// and 256 processors with the strips shown (as strips up to 8 at this size, as the processor
// grid beyond: area charts up to 128, coloured cells for 256). The gadget is a real window on the
// offscreen platform, so the repaint goes through the same path as on a desktop, into an offscreen
// image. Also timed: the same tick with the gadget hidden, and the charts alone painted into an
// image.
//
//   build/bench/tick_bench [--benchmark_filter=...]
// For repeatable figures on a busy machine count instructions instead of time:
//   LSG_TICK_ITERATIONS=100 valgrind --tool=callgrind build/bench/tick_bench
//       --benchmark_filter=BM_Tick/8
// and the same with 300: the difference of the totals over 200 is one tick.
#include "bench/timed.h"
#include "core/samplingtick.h"
#include "cpu/procstat.h"
#include "cpu/usagecomputer.h"
#include "gadget/chartview.h"
#include "gadget/gadgetwindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QWindow>

#include <memory>
#include <string>
#include <vector>

namespace {

using lsg::adCpuUsage::ProcStatSource;
using lsg::adCpuUsage::UsageComputer;

// /proc/stat texts of `cpus` processors whose busy share changes from tick to tick.
class StatUsage final : public lsg::UsageSource {
public:
    explicit StatUsage(int cpus) : m_source("/proc/stat", 100) {
        for (int k = 0; k < kTexts; ++k) {
            std::string text = "cpu  1 2 3 4 5 6 7 8 0 0\n";
            for (int cpu = 0; cpu < cpus; ++cpu) {
                // Every text adds 100 ticks per CPU, a different share of them busy.
                const long busy = 1000 + k * 100 + ((k * 37 + cpu * 11) % 100);
                const long idle = 5000 + k * 100 + 100 - ((k * 37 + cpu * 11) % 100);
                text += "cpu" + std::to_string(cpu) + " " + std::to_string(busy) + " 0 0 " +
                        std::to_string(idle) + " 0 0 0 0 0 0\n";
            }
            m_texts.push_back(text + "ctxt 1003329\n");
        }
    }
    const char* countInstances(std::int32_t& instances) override {
        instances = m_table.instanceCount();
        return nullptr;
    }
    const char* sample() override {
        const char* error = m_source.sampleText(m_table, m_texts[size_t(m_next)]);
        m_next = (m_next + 1) % kTexts;
        if (m_next == 0) {
            // The counters go back to the start: sample twice so no interval runs backwards.
            error = m_source.sampleText(m_table, m_texts[0]);
            m_next = 1;
        }
        return error;
    }
    const char* usage(std::int32_t index, double& fraction) override {
        fraction = m_table.usage(index);
        return nullptr;
    }

private:
    static constexpr int kTexts = 64;
    ProcStatSource m_source;
    UsageComputer m_table;
    std::vector<std::string> m_texts;
    int m_next = 0;
};

struct Gadget {
    explicit Gadget(int cpus, bool shown) : usage(cpus) {
        window.resize(355, 232);
        window.createStrips(cpus, true);
        for (int i = 1; i <= window.stripCount(); ++i) {
            strips.push_back(window.strip(i));
        }
        pushState.reset();
        tick();
        if (shown) {
            window.show();
            // Painting starts once the platform has exposed the window.
            while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }
        }
        QCoreApplication::processEvents();
    }
    void tick() {
        window.Label1->setText(
            lsg::runSamplingTick(pushState, usage, strips.size(), strips, *window.Chart1).caption);
        // Layout requests and the repaint of what changed.
        QCoreApplication::sendPostedEvents();
    }
    lsg::ChartPushState pushState;
    StatUsage usage;
    lsg::TForm2 window;
    std::vector<lsg::ChartSeries*> strips;
};

using lsg::bench::timed;

void BM_Tick(benchmark::State& state) {
    Gadget gadget(int(state.range(0)), true);
    timed(state, [&] { gadget.tick(); });
}

void BM_TickHidden(benchmark::State& state) {
    Gadget gadget(int(state.range(0)), false);
    timed(state, [&] { gadget.tick(); });
}

// The charts alone, each painted into its own place of one image after its push.
void BM_PaintCharts(benchmark::State& state) {
    Gadget gadget(int(state.range(0)), false);
    QImage image(355, 232, QImage::Format_RGB32);
    std::vector<lsg::ChartView*> charts{gadget.window.Chart1};
    for (int i = 1; i <= gadget.window.stripCount(); ++i) {
        charts.push_back(gadget.window.strip(i));
    }
    timed(state, [&] {
        lsg::runSamplingTick(gadget.pushState, gadget.usage, gadget.strips.size(), gadget.strips,
                             *gadget.window.Chart1);
        QPainter painter(&image);
        int y = 0;
        const int height = std::max(1, 232 / int(charts.size()));
        for (lsg::ChartView* chart : charts) {
            painter.save();
            painter.translate(0, y);
            chart->paint(painter, QSize(355, height));
            painter.restore();
            y += height;
        }
    });
}

// LSG_TICK_ITERATIONS=N runs each case exactly N times (for instruction counts).
void registerAll() {
    const int iterations = qEnvironmentVariableIntValue("LSG_TICK_ITERATIONS");
    for (auto [name, fn] :
         {std::pair{"BM_Tick", &BM_Tick}, std::pair{"BM_TickHidden", &BM_TickHidden},
          std::pair{"BM_PaintCharts", &BM_PaintCharts}}) {
        auto* b = benchmark::RegisterBenchmark(name, fn)
                      ->Arg(2)
                      ->Arg(8)
                      ->Arg(64)
                      ->Arg(128)
                      ->Arg(256)
                      ->Unit(benchmark::kMicrosecond);
        if (iterations > 0) {
            b->Iterations(iterations);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
