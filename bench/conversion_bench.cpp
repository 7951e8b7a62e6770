// Text to array text, the whole conversion, for texts from a marquee's usual few characters to
// a million. Run: build/release/bench/conversion_bench
#include <benchmark/benchmark.h>

#include <string>

#include "glyph_canvas.h"
#include "start_command.h"

namespace {

std::u16string sample_text(std::size_t length) {
  constexpr std::u16string_view kMessage = u"Marquee 8 - 825710 OPEN 24/7, all welcome! ";
  std::u16string text;
  text.reserve(length);
  while (text.size() < length) text += kMessage.substr(0, length - text.size());
  return text;
}

void BM_StartCommand(benchmark::State& state) {
  const std::u16string text = sample_text(static_cast<std::size_t>(state.range(0)));
  marquee8::GlyphCanvas canvas;
  for (auto _ : state) {
    std::string array = marquee8::start_command(text, canvas);
    benchmark::DoNotOptimize(array.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StartCommand)
    ->Arg(6)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
