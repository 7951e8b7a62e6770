#include "bootloaders.h"

#include <fstream>
#include <sstream>

#include "intel_hex.h"

namespace marquee8::testing {

Bootloader bootloader_of(BoardModel model) {
  const std::filesystem::path folder = BOOTLOADERS;
  switch (model) {
    case BoardModel::kUno:
      return {folder / "optiboot_atmega328.hex", 0xDE};
    case BoardModel::kNano:
      return {folder / "optiboot_atmega328.hex", 0xDA};
    case BoardModel::kNanoOld:
      return {folder / "ATmegaBOOT_168_atmega328.hex", 0xDA};
    case BoardModel::kMega:
      break;
  }
  return {folder / "stk500boot_v2_mega2560.hex", 0xD8};
}

Board chip_of(BoardModel model) {
  return model == BoardModel::kMega ? Board::kMega2560 : Board::kUno;
}

std::string receiver_hex_of(BoardModel model) {
  return model == BoardModel::kMega ? RECEIVER_MEGA_HEX : RECEIVER_UNO_HEX;
}

std::vector<std::uint8_t> receiver_image(BoardModel model) {
  std::ifstream file(receiver_hex_of(model));
  std::ostringstream text;
  text << file.rdbuf();
  return read_intel_hex(text.str());
}

}  // namespace marquee8::testing
