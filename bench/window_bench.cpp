// The window's cost on the heaviest analysis: a guarantee button clicked on a 49-row wheel over
// 49 numbers with subsets of 6 (counter, event turns, report) beside the engine alone; and the
// wheel tools' dialogs beside the engine calls they make: a replay of 3,000 draws on a 1,000-row
// wheel, the holes of a 163-row wheel at 3 if 6, and opening a wheel of 32,766 rows.
//
//   build/bench/window_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <numeric>
#include <random>

#include "window/form/form.h"
#include "window/frm_amain.h"
#include "window/holes_dialog.h"
#include "window/replay_dialog.h"

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

// Clicks guarantee button 6 once per iteration, the report emptied between clicks untimed.
void ClickSix(benchmark::State& run, Window& w) {
  auto* report = w.window.findChild<QPlainTextEdit*>("txtReport");
  for (auto _ : run) {
    w.window.cmdGar_Click(6);
    run.PauseTiming();
    report->clear();
    run.ResumeTiming();
  }
}

void GuaranteeButton(benchmark::State& run) {
  Window w;
  ClickSix(run, w);
}

BENCHMARK(EngineAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(GuaranteeButton)->Unit(benchmark::kMillisecond);

quirmel::WindowSeams Quiet() {
  quirmel::WindowSeams seams;
  seams.showError = [](QWidget*, const QString& text) { qFatal("%s", qPrintable(text)); };
  return seams;
}

// `count` random rows of `size` distinct numbers from 1..49, as a wheel file's text.
std::string RandomRows(int count, int size, unsigned seed) {
  std::mt19937 random(seed);
  std::string text;
  for (int r = 0; r < count; ++r) {
    std::vector<int> pool(49);
    std::iota(pool.begin(), pool.end(), 1);
    std::shuffle(pool.begin(), pool.end(), random);
    for (int i = 0; i < size; ++i)
      text += std::to_string(pool[static_cast<std::size_t>(i)]) + (i + 1 < size ? " " : "\n");
  }
  return text;
}

struct Files {
  QTemporaryDir dir;
  QString Write(const QString& name, const std::string& text) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != qint64(text.size()))
      qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
  }
};

void ReplayEngine(benchmark::State& run) {
  const std::string history = RandomRows(3000, 6, 2);
  const quirmel::AnyWheel wheel = quirmel::ReadWheel(RandomRows(1000, 6, 1)).wheel;
  for (auto _ : run) {
    const quirmel::DrawReadResult read = quirmel::ReadDraws(history, {});
    benchmark::DoNotOptimize(quirmel::ReplayDraws(wheel, read.draws, 6).totals.bestTotals);
  }
}

// Read, replayed and shown: a history of 3,000 or 1,000,000 draws.
void ReplayDialog(benchmark::State& run) {
  Files files;
  const QString history =
      files.Write("history.txt", RandomRows(static_cast<int>(run.range(0)), 6, 2));
  const quirmel::AnyWheel wheel = quirmel::ReadWheel(RandomRows(1000, 6, 1)).wheel;
  quirmel::ReplayDialog dialog(Quiet(), wheel, nullptr);
  dialog.show();
  for (auto _ : run) {
    dialog.LoadHistory(history);
    while (dialog.busy())
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();  // the table and the charts painted
  }
}

void HolesEngine(benchmark::State& run) {
  const quirmel::AnyWheel wheel = quirmel::ReadWheel(RandomRows(163, 6, 3)).wheel;
  for (auto _ : run) {
    const quirmel::CheckResult result = quirmel::CheckWheel(
        {.wheel = wheel, .poolSize = 49, .drawSize = 6, .guarantee = 3, .holesToList = 10000});
    benchmark::DoNotOptimize(result.holes);
  }
}

void HolesDialog(benchmark::State& run) {
  const quirmel::AnyWheel wheel = quirmel::ReadWheel(RandomRows(163, 6, 3)).wheel;
  quirmel::HolesDialog dialog(Quiet(), wheel, 49, 3, nullptr);
  dialog.show();
  for (auto _ : run) {
    dialog.Start();
    while (dialog.running() || !dialog.result())
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  }
}

// Opening a wheel of 32,766 rows in the window, and its analysis at 6 over 49.
void OpenLargestWheel(benchmark::State& run) {
  Files files;
  const QString name = files.Write("wheel.txt", RandomRows(32766, 6, 4));
  Window w;
  for (auto _ : run)
    w.window.OpenWheel(name);
}

void AnalyseLargestWheel(benchmark::State& run) {
  Files files;
  const QString name = files.Write("wheel.txt", RandomRows(32766, 6, 4));
  Window w;
  w.window.OpenWheel(name);
  ClickSix(run, w);
}

BENCHMARK(ReplayEngine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReplayDialog)->Arg(3000)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HolesEngine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HolesDialog)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OpenLargestWheel)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(AnalyseLargestWheel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
