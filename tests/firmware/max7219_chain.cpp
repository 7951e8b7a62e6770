#include "max7219_chain.h"

#include <algorithm>

namespace marquee8::testing {

Max7219Chain::Max7219Chain(int modules, ModuleType type)
    : type_(type),
      modules_(static_cast<std::size_t>(modules)),
      shift_register_(2 * modules_.size(), 0) {}

void Max7219Chain::shift(std::uint8_t byte) {
  std::shift_right(shift_register_.begin(), shift_register_.end(), 1);
  shift_register_.front() = byte;
  ++shifted_since_latch_;
}

void Max7219Chain::latch() {
  const std::size_t words = modules_.size();
  if (shifted_since_latch_ != static_cast<int>(2 * words) && protocol_fault_.empty()) {
    protocol_fault_ = "CS rose after " + std::to_string(shifted_since_latch_) +
                      " bytes, not one 16-bit word per module (" + std::to_string(2 * words) + ")";
  }
  shifted_since_latch_ = 0;
  for (std::size_t index = 0; index < words; ++index) {
    Module& module = modules_[index];
    const std::uint8_t data = shift_register_[2 * index];
    const int address = shift_register_[2 * index + 1] & 0x0F;
    switch (address) {
      case 0x0:  // no-op
      case 0xA:  // intensity
        break;
      case 0x9:
        module.decode_mode = data;
        break;
      case 0xB:
        module.scan_limit = data & 0x07;
        break;
      case 0xC:
        module.shutdown = data & 0x01;
        break;
      case 0xF:
        module.display_test = data & 0x01;
        break;
      case 0xD:
      case 0xE:
        if (protocol_fault_.empty()) {
          protocol_fault_ = "module " + std::to_string(index) + " was sent to register " +
                            std::to_string(address) + ", which the MAX7219 does not have";
        }
        break;
      default:
        module.leds[static_cast<std::size_t>(address - 1)] = data;
    }
  }
}

std::string Max7219Chain::fault() const {
  if (!protocol_fault_.empty()) return protocol_fault_;
  for (std::size_t index = 0; index < modules_.size(); ++index) {
    const Module& module = modules_[index];
    const std::string name = "module " + std::to_string(index) + " ";
    if (module.display_test != 0) return name + "is in display test: every LED lit";
    if (module.shutdown == 0) return name + "is shut down";
    if (module.decode_mode != 0) return name + "decodes its registers as digits";
    if (module.scan_limit != 7) {
      return name + "scans only " + std::to_string(module.scan_limit + 1) + " of 8 registers";
    }
    for (std::size_t led = 0; led < module.leds.size(); ++led) {
      if (!module.leds[led]) return name + "register " + std::to_string(led + 1) + " never written";
    }
  }
  return {};
}

bool Max7219Chain::lit(const Module& module, int row, int column) const {
  // The module's own coordinates: row 0 at the top, column 0 at the right.
  const int from_right = 7 - column;
  const bool digits_rows = (type_.wiring & 4) != 0;
  const bool columns_reversed = (type_.wiring & 2) != 0;
  const bool rows_reversed = (type_.wiring & 1) != 0;
  const int digit = digits_rows ? row : from_right;
  const int segment = digits_rows ? from_right : row;
  const int reg = 1 + (rows_reversed ? 7 - digit : digit);
  const int bit = columns_reversed ? 7 - segment : segment;
  const std::optional<std::uint8_t>& value = module.leds[static_cast<std::size_t>(reg - 1)];
  return value && ((*value >> bit) & 1) != 0;
}

Frame Max7219Chain::frame() const {
  Frame rows(8, std::string(8 * modules_.size(), '.'));
  for (std::size_t x = 0; x < rows[0].size(); ++x) {
    // The first module in the chain is the rightmost, unless the wire enters at the left.
    const std::size_t from_left = x / 8;
    const Module& module =
        modules_[type_.enters_left ? from_left : modules_.size() - 1 - from_left];
    for (std::size_t row = 0; row < rows.size(); ++row) {
      if (lit(module, static_cast<int>(row), static_cast<int>(x % 8))) rows[row][x] = '#';
    }
  }
  return rows;
}

}  // namespace marquee8::testing
