#include "status.h"

namespace marquee8 {

StatusFigures status_figures(std::size_t text_columns, std::size_t array_bytes,
                             OutputFormat format) {
  return {text_columns, array_bytes, lives_in_ram(format) && array_bytes > kUnoRamBudget};
}

}  // namespace marquee8
