#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marquee8 {

// The shapes the column values can be written in, for the firmware that reads them.
enum class OutputFormat {
  kClassic,      // byte a[]={...};<CR><LF>int slen=...;  copied into RAM on an AVR
  kProgmem,      // const uint8_t a[] PROGMEM: stays in an AVR's flash, read with pgm_read_byte
  kC,            // const uint8_t a[]: flash on ARM and ESP boards
  kMicroPython,  // a = bytes((...)): a framebuf.MONO_VLSB buffer 8 rows high
  kRaw,          // the bytes themselves, for EEPROM or an SD card
};

inline constexpr OutputFormat kAllFormats[] = {OutputFormat::kClassic, OutputFormat::kProgmem,
                                               OutputFormat::kC, OutputFormat::kMicroPython,
                                               OutputFormat::kRaw};

std::string_view format_name(OutputFormat format);  // as the command line spells it
std::optional<OutputFormat> format_named(std::string_view name);

// Whether an AVR copies the array into its RAM at start-up (2 KB on an Uno).
bool lives_in_ram(OutputFormat format);
bool is_text(OutputFormat format);

// How the array is written; every field has the classic value.
struct OutputSettings {
  static constexpr int kMaxLead = 65535;

  OutputFormat format = OutputFormat::kClassic;
  bool hex = false;      // 0x00 to 0xFF
  bool msb_top = false;  // bit 7 is the top row (bit 0 otherwise)
  int lead_in = 8;       // blank columns before the text's own
  int lead_out = 0;      // and after them
  std::string array_name = "a";
  std::string length_name = "slen";
  bool art = false;  // the rows as '#'/'.' comment lines above the declarations

  bool operator==(const OutputSettings&) const = default;
};

// Throws ConversionError (kInvalidSettings) naming the first setting that cannot be written:
// a lead outside 0 to kMaxLead, a name that is no identifier of the format's language or is one
// of its keywords, the two names alike, or ASCII art for raw bytes.
void check(const OutputSettings& settings);

}  // namespace marquee8
