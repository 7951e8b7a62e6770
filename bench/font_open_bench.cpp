// Opening a compressed bitmap font and drawing from it: misc-fixed 5x8 as Debian ships it, and
// rewritten with its bitmaps 100,000 bytes apart in reverse order (bench/scattered_pcf.py), the
// layout that made a reader seeking backwards through the gzip data take minutes.
// Run: build/release/bench/font_open_bench
#include <benchmark/benchmark.h>

#include <string>

#include "byte_sink.h"
#include "conversion.h"
#include "utf8_line.h"

namespace {

class CountingSink final : public marquee8::ByteSink {
 public:
  void write(std::string_view bytes) override { written += bytes.size(); }
  std::size_t written = 0;
};

// Printable ASCII from its end, so that every glyph is read after one further into the file.
std::string backwards_ascii() {
  std::string text;
  for (char c = '~'; c >= ' '; --c) text += c;
  return text;
}

void open_and_convert(benchmark::State& state, const std::string& font_file) {
  const std::string text = backwards_ascii();
  marquee8::FontSettings font;
  font.font = marquee8::FontSource::file(font_file);
  for (auto _ : state) {
    marquee8::Conversion conversion(marquee8::ConversionSettings{font, {}});
    CountingSink sink;
    conversion.write_output(marquee8::Utf8Line::check(text), sink);
    benchmark::DoNotOptimize(sink.written);
  }
}

void BM_OpenShippedPcfGz(benchmark::State& state) {
  open_and_convert(state, "/usr/share/fonts/X11/misc/5x8.pcf.gz");
}
BENCHMARK(BM_OpenShippedPcfGz)->Unit(benchmark::kMillisecond);

void BM_OpenScatteredPcfGz(benchmark::State& state) { open_and_convert(state, SCATTERED_PCF_GZ); }
BENCHMARK(BM_OpenScatteredPcfGz)->Unit(benchmark::kMillisecond);

}  // namespace
