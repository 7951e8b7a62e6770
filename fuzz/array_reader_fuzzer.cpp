// Reads arbitrary bytes as an array text. Whatever is read must survive being written back as
// the classic output and read again; anything refused must be refused with a ConversionError.
// Build: cmake --preset fuzz && cmake --build --preset fuzz --target array_reader_fuzzer
// Run:   build/fuzz/fuzz/array_reader_fuzzer -max_total_time=60 <scratch copy of
// fuzz/reader_corpus>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "array_reader.h"
#include "array_writer.h"
#include "conversion_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> values;
  try {
    values = marquee8::read_array({reinterpret_cast<const char*>(data), size});
  } catch (const marquee8::ConversionError&) {
    return 0;
  }
  // Without a lead-in the classic array holds exactly the values.
  marquee8::OutputSettings classic;
  classic.lead_in = 0;
  marquee8::StringSink text;
  marquee8::ArrayWriter writer(classic, values.size(), text);
  writer.add(values);
  writer.finish();
  if (marquee8::read_array(text.text()) != values) std::abort();
  return 0;
}
