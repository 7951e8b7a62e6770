#include "module_wiring.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace marquee8 {
namespace {

struct Alias {
  std::string_view name;
  int wiring;
};
// MD_MAX72XX's names for the wirings its users meet most.
constexpr std::array<Alias, 4> kAliases{
    {{"FC16", kFc16Wiring}, {"GENERIC", kGenericWiring}, {"PAROLA", 6}, {"ICSTATION", 7}}};

std::string upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

}  // namespace

std::string wiring_name(int wiring) {
  return std::string("DR") + char('0' + (wiring >> 2 & 1)) + "CR" + char('0' + (wiring >> 1 & 1)) +
         "RR" + char('0' + (wiring & 1));
}

std::string describe_wiring(int wiring) {
  for (const Alias& alias : kAliases) {
    if (alias.wiring == wiring) return std::string(alias.name) + " (" + wiring_name(wiring) + ")";
  }
  return wiring_name(wiring);
}

std::optional<int> parse_wiring(std::string_view name) {
  const std::string wanted = upper(name);
  for (const Alias& alias : kAliases) {
    if (alias.name == wanted) return alias.wiring;
  }
  for (int wiring = 0; wiring < kWirings; ++wiring) {
    if (wiring_name(wiring) == wanted) return wiring;
  }
  return std::nullopt;
}

std::string unknown_wiring(std::string_view name) {
  std::string names;
  for (const Alias& alias : kAliases) names += std::string(alias.name) + ", ";
  for (int wiring = 0; wiring < kWirings; ++wiring) {
    names += wiring_name(wiring) + (wiring + 1 < kWirings ? ", " : "");
  }
  return "no wiring is called '" + std::string(name) + "': the wirings are " + names +
         " (MD_MAX72XX's names, in any case)";
}

std::string_view first_module_name(bool left) { return left ? "left" : "right"; }

std::optional<bool> parse_first_module(std::string_view name) {
  const std::string wanted = upper(name);
  if (wanted == "RIGHT") return false;
  if (wanted == "LEFT") return true;
  return std::nullopt;
}

std::string unknown_first_module(std::string_view name) {
  return "the first module is at the 'right' or the 'left' end of the row, not '" +
         std::string(name) + "'";
}

std::string describe_layout(const ModuleLayout& layout) {
  return describe_wiring(layout.wiring) + ", " + std::to_string(layout.modules) +
         (layout.modules == 1 ? " module" : " modules") + ", the first at the " +
         std::string(first_module_name(layout.first_module_left));
}

std::string layout_report(const std::string& port, const ModuleLayout& layout) {
  return "the board on " + port + " is set to " + describe_layout(layout);
}

}  // namespace marquee8
