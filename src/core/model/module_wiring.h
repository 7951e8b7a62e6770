#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "setting_ranges.h"

namespace marquee8 {

// How a board's MAX7219 modules are wired and laid out, as the receiver keeps it. A wiring is
// MD_MAX72XX's three flags as one number: digits drive rows << 2 | columns reversed << 1 |
// rows reversed, 0 (DR0CR0RR0) to 7 (DR1CR1RR1).
inline constexpr int kWirings = 8;
inline constexpr int kFc16Wiring = 4;     // DR1CR0RR0
inline constexpr int kGenericWiring = 2;  // DR0CR1RR0
// How many modules a chain may have; a board may drive fewer, and says so.
inline constexpr SettingRange kModulesRange{1, 16, 4, "modules"};

struct ModuleLayout {
  int wiring = kFc16Wiring;
  bool first_module_left = false;  // the module wired to the board, seen from the front
  int modules = kModulesRange.fallback;
  bool operator==(const ModuleLayout&) const = default;
};

// "DR1CR0RR0".
std::string wiring_name(int wiring);
// "FC16 (DR1CR0RR0)", or the flags alone for a wiring MD_MAX72XX gives no other name.
std::string describe_wiring(int wiring);
// A wiring by its DRxCRxRRx name or one of FC16, GENERIC, PAROLA and ICSTATION, in any case.
std::optional<int> parse_wiring(std::string_view name);
// Why `name` is no wiring, listing those there are.
std::string unknown_wiring(std::string_view name);

// "right" or "left".
std::string_view first_module_name(bool left);
std::optional<bool> parse_first_module(std::string_view name);
std::string unknown_first_module(std::string_view name);

// "FC16 (DR1CR0RR0), 4 modules, the first at the right".
std::string describe_layout(const ModuleLayout& layout);
// What a board keeps once configured, as every front end reports it.
std::string layout_report(const std::string& port, const ModuleLayout& layout);

}  // namespace marquee8
