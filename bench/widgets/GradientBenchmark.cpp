#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "widgets/QGGradient.h"

// Every allocation of the process is counted, so a benchmark can tell how
// many its loop made.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

constexpr int kSide = 1024;

void evaluation(benchmark::State& state) {
    const QGGradient gradient = QGGradient::aquaSelectedGradient().gradientWithBlendingMode(
        static_cast<int>(state.range(0)));
    const ShadingFunction function = gradient.gradientFunction();
    float t = 0.0f;
    float rgba[4];
    const long before = allocations.load();
    for (auto _ : state) {
        function(t, rgba);
        benchmark::DoNotOptimize(rgba);
        t = t < 1.0f ? t + 0.0009765625f : 0.0f;
    }
    state.counters["allocations_per_evaluation"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(evaluation)->Arg(0)->Arg(1)->Arg(2)->ArgName("mode");

const QColor kBegin(235, 235, 235);
const QColor kEnd(209, 209, 209);

void fillRect(benchmark::State& state) {
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QGGradient gradient = QGGradient::gradientWithBeginningColor(kBegin, kEnd);
    const float angle = static_cast<float>(state.range(0));
    for (auto _ : state) {
        gradient.fillRect(painter, QRectF(0, 0, kSide, kSide), angle);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(fillRect)->Arg(0)->Arg(45)->Arg(270)->ArgName("angle")->Unit(benchmark::kMillisecond);

// The same fills with Qt's own linear gradient, the same axis and two stops.
void qtLinearGradient(benchmark::State& state) {
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient linear;
    switch (state.range(0)) {
        case 0:
            linear = QLinearGradient(0, 0, kSide, 0);
            break;
        case 45:
            linear = QLinearGradient(0, 0, kSide, kSide);
            break;
        default:
            linear = QLinearGradient(0, kSide, 0, 0);
            break;
    }
    linear.setColorAt(0, kBegin);
    linear.setColorAt(1, kEnd);
    for (auto _ : state) {
        painter.fillRect(QRectF(0, 0, kSide, kSide), linear);
    }
    benchmark::DoNotOptimize(image.constBits());
}
BENCHMARK(qtLinearGradient)
    ->Arg(0)
    ->Arg(45)
    ->Arg(270)
    ->ArgName("angle")
    ->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each run's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // With --benchmark_repetitions the medians are compared.
    auto timeOf = [&](const std::string& name) {
        for (const std::string& key : {name + "_median", name}) {
            if (auto found = reporter.times.find(key); found != reporter.times.end()) {
                return found->second;
            }
        }
        return 0.0;
    };
    for (const char* angle : {"0", "45", "270"}) {
        const double ours = timeOf(std::string("fillRect/angle:") + angle);
        const double qt = timeOf(std::string("qtLinearGradient/angle:") + angle);
        if (ours > 0.0 && qt > 0.0) {
            std::printf("fillRect / QLinearGradient at %s degrees: %.2f (target at most 3)\n",
                        angle, ours / qt);
        }
    }
    return 0;
}
