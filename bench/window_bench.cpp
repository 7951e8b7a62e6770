// From a click on Start to txtoutput written and painted, offscreen, and how the window
// answers afterwards. Run: build/release/bench/window_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "core_adapter.h"
#include "main_window.h"

namespace {

QString sample_text(qsizetype length) {
  const QString message = QStringLiteral("Marquee 8 - 825710 OPEN 24/7, all welcome! ");
  QString text;
  text.reserve(length);
  while (text.size() < length) text += message.left(length - text.size());
  return text;
}

// A shown window whose input box holds a text of `length` characters.
struct ShownWindow {
  explicit ShownWindow(qsizetype length) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) std::abort();
    input().setText(sample_text(length));
  }
  QLineEdit& input() { return *window.findChild<QLineEdit*>(QStringLiteral("txtinput")); }
  QPushButton& start() { return *window.findChild<QPushButton*>(QStringLiteral("Command1")); }
  QPlainTextEdit& output() {
    return *window.findChild<QPlainTextEdit*>(QStringLiteral("txtoutput"));
  }
  void click_and_paint() {
    QTest::mouseClick(&start(), Qt::LeftButton);
    window.repaint();
  }

  marquee8::MainWindow window;
};

void BM_ClickToOutputPainted(benchmark::State& state) {
  ShownWindow shown(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    shown.output().setPlainText(QStringLiteral("Text1"));
    state.ResumeTiming();
    shown.click_and_paint();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ClickToOutputPainted)
    ->Arg(1'000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The longest the window's thread goes without serving its events during a click on Start: the
// conversion runs off it, so this is what showing the result costs.
void BM_LongestStallOfAStart(benchmark::State& state) {
  ShownWindow shown(state.range(0));
  QElapsedTimer clock;
  qint64 last_served = 0;
  qint64 longest = 0;
  QTimer serving;
  serving.setInterval(1);
  QObject::connect(&serving, &QTimer::timeout, [&] {
    longest = std::max(longest, clock.elapsed() - last_served);
    last_served = clock.elapsed();
  });
  for (auto _ : state) {
    shown.output().setPlainText(QStringLiteral("Text1"));
    longest = 0;
    clock.start();
    last_served = 0;
    serving.start();
    shown.click_and_paint();
    serving.stop();
    longest = std::max(longest, clock.elapsed() - last_served);
    state.counters["longest_stall_ms"] = static_cast<double>(longest);
  }
}
BENCHMARK(BM_LongestStallOfAStart)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Where the time of a click goes: the core's conversion alone.
void BM_ConversionOnly(benchmark::State& state) {
  const QString text = sample_text(state.range(0));
  marquee8::WindowConversion conversion;
  for (auto _ : state) benchmark::DoNotOptimize(conversion.start(text));
}
BENCHMARK(BM_ConversionOnly)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// The window after a 100,000-character run: each step a user might take next, then a paint.
struct StepAfterLongRun {
  const char* name;
  QWidget& (*box)(ShownWindow&);
  void (*keys)(QWidget& box);
};

const StepAfterLongRun kStepsAfterLongRun[] = {
    {"type in txtinput", [](ShownWindow& shown) -> QWidget& { return shown.input(); },
     [](QWidget& box) { QTest::keyClick(&box, Qt::Key_8); }},
    {"page down in txtoutput", [](ShownWindow& shown) -> QWidget& { return shown.output(); },
     [](QWidget& box) { QTest::keySequence(&box, QKeySequence::MoveToNextPage); }},
    {"select all and copy txtoutput", [](ShownWindow& shown) -> QWidget& { return shown.output(); },
     [](QWidget& box) {
       QTest::keySequence(&box, QKeySequence::SelectAll);
       QTest::keySequence(&box, QKeySequence::Copy);
     }},
    {"type in txtoutput's long line", [](ShownWindow& shown) -> QWidget& { return shown.output(); },
     [](QWidget& box) { QTest::keyClick(&box, Qt::Key_8); }},
};

void BM_StepAfterLongRun(benchmark::State& state) {
  const StepAfterLongRun& step = kStepsAfterLongRun[state.range(0)];
  ShownWindow shown(100'000);
  shown.click_and_paint();
  QWidget& box = step.box(shown);
  box.setFocus();
  for (auto _ : state) {
    step.keys(box);
    shown.window.repaint();
  }
  state.SetLabel(step.name);
}
BENCHMARK(BM_StepAfterLongRun)
    ->DenseRange(0, std::size(kStepsAfterLongRun) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A short run straight after a 100,000-character one.
void BM_ShortRunAfterLongRun(benchmark::State& state) {
  ShownWindow shown(100'000);
  for (auto _ : state) {
    state.PauseTiming();
    shown.input().setText(sample_text(100'000));
    shown.click_and_paint();
    shown.input().setText(QStringLiteral("825710"));
    state.ResumeTiming();
    shown.click_and_paint();
  }
}
// Each iteration also pays an untimed long run, so a fixed count keeps the whole benchmark short.
BENCHMARK(BM_ShortRunAfterLongRun)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
