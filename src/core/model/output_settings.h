#pragma once

#include <string>

#include "setting_ranges.h"

namespace marquee8 {

// The shapes the column values can be written in, for the firmware that reads them; each is
// described and written by its own file in the formats layer.
enum class OutputFormat {
  kClassic,      // byte a[]={...};<CR><LF>int slen=...;  copied into RAM on an AVR
  kProgmem,      // const uint8_t a[] PROGMEM: stays in an AVR's flash, read with pgm_read_byte
  kC,            // const uint8_t a[]: flash on ARM and ESP boards
  kMicroPython,  // a = bytes((...)): a framebuf.MONO_VLSB buffer 8 rows high
  kRaw,          // the bytes themselves, for EEPROM or an SD card
};

// How the array is written; every field has the classic value.
struct OutputSettings {
  OutputFormat format = OutputFormat::kClassic;
  bool hex = false;                       // 0x00 to 0xFF
  bool msb_top = false;                   // bit 7 is the top row (bit 0 otherwise)
  int lead_in = kLeadInRange.fallback;    // blank columns before the text's own
  int lead_out = kLeadOutRange.fallback;  // and after them
  std::string array_name = "a";
  std::string length_name = "slen";
  bool art = false;  // the rows as '#'/'.' comment lines above the declarations

  bool operator==(const OutputSettings&) const = default;
};

}  // namespace marquee8
