#include "settings_problem.h"

#include "conversion_error.h"
#include "settings_check.h"

namespace marquee8 {

std::optional<std::string> settings_problem(const OutputSettings& settings) {
  try {
    check(settings);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return std::nullopt;
}

}  // namespace marquee8
