#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "module_wiring.h"

namespace marquee8 {

// What a receiver says about itself and the message it stores (the protocol's INFO).
struct BoardInfo {
  int board = 0;  // MARQUEE8_BOARD_...
  std::size_t capacity = 0;
  int protocol = 0;  // the version it speaks
  ModuleLayout
      layout;  // a version 1 board's wiring is FC16 or GENERIC, its first module at the right
  int max_modules = 0;      // the most it can drive; a version 1 board, the modules it has
  std::size_t columns = 0;  // 0: nothing stored, the board scrolls its waiting text
  int step_ms = 0;
  int brightness = 0;
  std::uint16_t crc = 0;

  // "Arduino Uno", "Arduino Mega 2560", "AVR board".
  std::string board_name() const;
};

// The replies of the board link read from their payloads, without any I/O. Each throws
// LinkError naming `port` for a reply it cannot take.

// What fixes a board whose receiver is too old or broken: "install the receiver again (marquee8
// --install-receiver=PORT)".
std::string install_again(const std::string& port);

// An INFO of version 1 or this version: refused when it is of another version, or of the
// wrong size for its own.
BoardInfo read_info(std::span<const std::uint8_t> payload, const std::string& port);

// The columns of a DATA reply to a READ of `count` columns at `offset`.
std::span<const std::uint8_t> read_data(std::span<const std::uint8_t> payload, std::size_t offset,
                                        std::size_t count, const std::string& port);

// Whether an ERROR reply asks for the command again (the board saw it damaged); for any other
// code it throws the refusal in words.
bool asks_again(std::span<const std::uint8_t> payload, const std::string& port);

}  // namespace marquee8
