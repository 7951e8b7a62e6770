#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marquee8::testing {

// How a board wires its 8×8 LEDs to the MAX7219's registers, as MD_MAX72XX names the eight
// ways by three flags, seen from the front with a module's row 0 at the top and its column 0
// at the right: DR1 register 1 + r drives row r and data bit c column c (DR0 swaps rows and
// columns), CR1 counts the columns from the other side, RR1 the rows. And which end of the row
// the module wired to the board sits at.
struct ModuleType {
  int wiring = 4;  // DR << 2 | CR << 1 | RR
  bool enters_left = false;

  static const ModuleType kFc16;     // DR1CR0RR0: registers 1–8 the rows from the top, data
                                     // bit 7 the leftmost column
  static const ModuleType kGeneric;  // DR0CR1RR0: registers 1–8 the columns from the right,
                                     // data bit 7 the top row
  bool operator==(const ModuleType&) const = default;
};
inline constexpr ModuleType ModuleType::kFc16{4, false};
inline constexpr ModuleType ModuleType::kGeneric{2, false};

// The LEDs a chain shows, top row first, each row's columns left to right: '#' lit, '.' dark.
using Frame = std::vector<std::string>;

// A chain of MAX7219s as their datasheet describes them. Each has a 16-bit shift register: a
// byte clocked into the first module pushes the bytes before it on towards the last. When CS
// (LOAD) rises, every module executes the word in its register: bits 11–8 the address, 7–0
// the data. Power-up resets the control registers (shut down, scanning one digit, no decoding)
// and leaves the LED registers holding whatever they hold.
class Max7219Chain {
 public:
  Max7219Chain(int modules, ModuleType type);

  // A byte clocked into the first module's DIN, most significant bit first.
  void shift(std::uint8_t byte);
  // CS rising: every module executes its word.
  void latch();

  // What makes the chain not show a proper picture now: a protocol fault so far, or a
  // register left so that the LEDs do not show the LED registers. Empty if none.
  std::string fault() const;
  // What the LEDs show, if they show the LED registers.
  Frame frame() const;

 private:
  struct Module {
    std::array<std::optional<std::uint8_t>, 8> leds;  // registers 1–8, never written: none
    std::uint8_t decode_mode = 0;
    std::uint8_t scan_limit = 0;
    std::uint8_t shutdown = 0;
    std::uint8_t display_test = 0;
  };
  bool lit(const Module& module, int row, int column) const;

  ModuleType type_;
  std::vector<Module> modules_;               // [0] is the first in the chain, wired to the Uno
  std::vector<std::uint8_t> shift_register_;  // [0] the byte shifted in last
  int shifted_since_latch_ = 0;
  std::string protocol_fault_;
};

}  // namespace marquee8::testing
