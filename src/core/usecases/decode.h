#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_sink.h"
#include "output_settings.h"
#include "run_control.h"
#include "shown.h"

namespace marquee8 {

// Reading an existing array back: any array marquee8 writes in a text format, or one written
// by hand (see read_array).

// An array's text as a file or pipe gives it, block by block: refused (ConversionError,
// kUnreadableArray: "the array is too long") once longer than any array read, and ended just
// after the first byte no text holds (a NUL, another control character), which read_columns
// then names with its line and column as "not text". So an endless or binary stream stops.
class ArrayInput {
 public:
  // Whether to read on.
  bool add(std::string_view block);
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

// What is known of an array being read back, apart from the options it is written again with.
struct ArraySource {
  std::optional<std::string> name;  // the array to read; nothing: the only byte array there is
  bool msb_top = false;             // its bit 7 is the top row
};

// The columns of the array `source` names in `array_text` (a whole sketch or module may hold
// it among other code), bit 0 the top row whatever the array's own order. Throws
// ConversionError (kUnreadableArray) naming the line and column it cannot read, or listing the
// arrays it could read; RunCancelled when `control` stops the reading.
std::vector<std::uint8_t> read_columns(std::string_view array_text, const ArraySource& source,
                                       const RunControl& control = {});

// The settings a read array is written again with: it already holds its lead-in and lead-out,
// so only the leads the user chose are added.
OutputSettings decoded_array_settings(OutputSettings chosen, bool lead_in_chosen,
                                      bool lead_out_chosen);

// What `marquee8 --decode` writes for `columns` (from read_columns). Throws ConversionError,
// before anything is written: kInvalidSettings for settings that cannot be written, as a
// Conversion refuses them, and kTextTooLong for more elements than the length can count.
void write_decoded(std::span<const std::uint8_t> columns, const OutputSettings& settings,
                   ByteSink& out);

// A pasted array shown as a Start shows a text: its columns on the canvas and preview, its
// values in the output box in the current format and bit order, with no leads added.
// `control` is told how many of the text's bytes are read and may stop the run.
Shown show_array(std::string_view array_text, const ArraySource& source,
                 const OutputSettings& settings, int canvas_width, int canvas_height,
                 const RunControl& control = {});

}  // namespace marquee8
