#include "status.h"

#include "format_registry.h"

namespace marquee8 {

namespace {

// "32,767", as the messages write their figures.
std::string grouped(std::size_t number) {
  const std::string digits = std::to_string(number);
  std::string text;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) text.push_back(',');
    text.push_back(digits[at]);
  }
  return text;
}

}  // namespace

StatusFigures status_figures(const OutputSettings& settings, std::size_t text_columns) {
  const std::size_t bytes = static_cast<std::size_t>(settings.lead_in) + text_columns +
                            static_cast<std::size_t>(settings.lead_out);
  const bool in_ram = array_format(settings.format).description().lives_in_ram;
  // The classic array and the PROGMEM one are what an AVR sketch declares.
  const bool for_avr = in_ram || settings.format == OutputFormat::kProgmem;
  return {text_columns, bytes, in_ram && bytes > kUnoRamBudget,
          for_avr && bytes > kUnoFlashForSketch, for_avr && bytes > kAvrObjectLimit};
}

std::vector<std::string> status_warnings(const StatusFigures& figures) {
  if (figures.too_big_for_avr) {
    return {grouped(figures.array_bytes) + " bytes: more than the " + grouped(kAvrObjectLimit) +
            " bytes avr-gcc lets one array have on any AVR board (Uno, Nano, Mega): shorten the "
            "text, or use the C format on a board of another kind"};
  }
  if (figures.too_big_for_uno_flash) {
    return {grouped(figures.array_bytes) + " bytes: more than the " + grouped(kUnoFlashForSketch) +
            " bytes of flash an Uno or a Nano has for a whole sketch: shorten the text, or use a "
            "Mega"};
  }
  if (figures.too_big_for_uno_ram) {
    return {"more than the " + grouped(kUnoRamBudget) +
            " bytes an Uno's RAM can spare: use the PROGMEM format"};
  }
  return {};
}

}  // namespace marquee8
