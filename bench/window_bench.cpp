// The window's cost on the heaviest analysis: a guarantee button clicked on a 49-row wheel over
// 49 numbers with subsets of 6 (counter, event turns, report) beside the engine alone.
//
//   build/bench/window_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "engine/engine.h"
#include "window/frm_amain.h"

namespace {

struct Window {
  quirmel::WheelState state;
  quirmel::frmAmain window{state, [] {
                             quirmel::WindowSeams seams;
                             seams.showError = [](QWidget*, const QString&) {};
                             seams.openAddress = [](const QUrl&) {};
                             return seams;
                           }()};
  Window() {
    const QStringList key = {"1", "2", "3", "4", "5", "6"};
    for (int i = 1; i <= 6; ++i) {
      window.findChild<QLineEdit*>(QStringLiteral("txtChiave(%1)").arg(i))->setText(key[i - 1]);
    }
    window.findChild<QLineEdit*>("txtNumeri")->setText("49");
    window.findChild<QLineEdit*>("txtCombinazioni")->setText("49");
    window.cmdElabora_Click();
    window.show();
  }
};

void EngineAlone(benchmark::State& run) {
  Window w;
  for (auto _ : run) {
    const auto stats = quirmel::AnalyseCoverage(*w.state.wheel, 49, 6, 49, 6,
                                                [&](int32_t) { return w.state.abortRequested; });
    benchmark::DoNotOptimize(stats.subsetCount);
  }
}

void GuaranteeButton(benchmark::State& run) {
  Window w;
  auto* report = w.window.findChild<QPlainTextEdit*>("txtReport");
  for (auto _ : run) {
    w.window.cmdGar_Click(6);
    run.PauseTiming();
    report->clear();
    run.ResumeTiming();
  }
}

BENCHMARK(EngineAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(GuaranteeButton)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
