#include "status.h"

#include "format_registry.h"

namespace marquee8 {

StatusFigures status_figures(const OutputSettings& settings, std::size_t text_columns) {
  const std::size_t bytes = static_cast<std::size_t>(settings.lead_in) + text_columns +
                            static_cast<std::size_t>(settings.lead_out);
  return {text_columns, bytes,
          array_format(settings.format).description().lives_in_ram && bytes > kUnoRamBudget};
}

}  // namespace marquee8
