// Text to array text, the whole conversion, for texts from a marquee's usual few characters to
// ten million: the window's Start (UTF-16, the whole output kept) and the command line's streamed
// conversion (UTF-8, written as it is made). Run: build/release/bench/conversion_bench
// Whole-process time and memory of the command line: bench/cli_figures.sh
#include <benchmark/benchmark.h>

#include <string>

#include "byte_sink.h"
#include "conversion.h"
#include "utf8_line.h"

namespace {

std::string sample_text(std::size_t length) {
  constexpr std::string_view kMessage = "Marquee 8 - 825710 OPEN 24/7, all welcome! ";
  std::string text;
  text.reserve(length);
  while (text.size() < length) text += kMessage.substr(0, length - text.size());
  return text;
}

// Counts what a streamed conversion writes and keeps nothing, as /dev/null would.
class CountingSink final : public marquee8::ByteSink {
 public:
  void write(std::string_view bytes) override { written += bytes.size(); }
  std::size_t written = 0;
};

void BM_Start(benchmark::State& state) {
  const std::string utf8 = sample_text(static_cast<std::size_t>(state.range(0)));
  const std::u16string text(utf8.begin(), utf8.end());
  marquee8::Conversion conversion;
  for (auto _ : state) {
    marquee8::GlyphCanvas canvas(669, 29);
    std::string array = conversion.start(text, canvas.width(), canvas.height()).output;
    benchmark::DoNotOptimize(array.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Start)->Arg(6)->Arg(1'000)->Arg(100'000)->Arg(1'000'000)->Unit(
    benchmark::kMillisecond);

void BM_StreamedArrayText(benchmark::State& state) {
  const std::string text = sample_text(static_cast<std::size_t>(state.range(0)));
  marquee8::Conversion conversion;
  for (auto _ : state) {
    CountingSink sink;
    conversion.write_output(marquee8::Utf8Line::check(text), sink);
    benchmark::DoNotOptimize(sink.written);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamedArrayText)
    ->Arg(6)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

// Another font must not slow the conversion: misc-fixed 5x8 against the built-in font above.
void BM_StreamedArrayTextMiscFixed(benchmark::State& state) {
  const std::string text = sample_text(static_cast<std::size_t>(state.range(0)));
  marquee8::FontSettings font;
  font.font = marquee8::FontSource::file("/usr/share/fonts/X11/misc/5x8.pcf.gz");
  marquee8::Conversion conversion(marquee8::ConversionSettings{font, {}});
  for (auto _ : state) {
    CountingSink sink;
    conversion.write_output(marquee8::Utf8Line::check(text), sink);
    benchmark::DoNotOptimize(sink.written);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamedArrayTextMiscFixed)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
