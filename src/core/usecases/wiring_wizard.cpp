#include "wiring_wizard.h"

#include "marquee8_protocol.h"
#include "stopped_board_task.h"

namespace marquee8 {

LedPicture test_pattern_picture(int wiring) {
  const bool digits_rows = (wiring & 4) != 0;
  const bool columns_reversed = (wiring & 2) != 0;
  const bool rows_reversed = (wiring & 1) != 0;
  LedPicture picture(8, std::string(8, '.'));
  for (int row = 0; row < 8; ++row) {
    for (int x = 0; x < 8; ++x) {
      // MD_MAX72XX counts a module's columns from the right.
      const int column = 7 - x;
      const int digit = digits_rows ? row : column;
      const int segment = digits_rows ? column : row;
      const int reg = rows_reversed ? 7 - digit : digit;
      const int bit = columns_reversed ? 7 - segment : segment;
      if ((marquee8_test_pattern[reg] >> bit & 1) != 0) {
        picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(x)] = '#';
      }
    }
  }
  return picture;
}

std::string WiringWizard::unanswered() {
  return "no answer came: " + std::string(kStoppedWiringLeaves);
}

std::vector<LedPicture> WiringWizard::wiring_pictures() const {
  std::vector<LedPicture> pictures;
  for (int wiring = 0; wiring < kWirings; ++wiring)
    pictures.push_back(test_pattern_picture(wiring));
  return pictures;
}

std::vector<LedPicture> WiringWizard::end_pictures(int wiring_answer) const {
  const LedPicture lit = test_pattern_picture(wiring_answer);
  const std::string dark(8, '.');
  std::vector<LedPicture> pictures;
  for (const bool left : {false, true}) {
    LedPicture row;
    for (const std::string& line : lit) {
      std::string whole;
      for (int module = 0; module < modules_; ++module) {
        const bool is_lit = left ? module == 0 : module == modules_ - 1;
        whole += is_lit ? line : dark;
      }
      row.push_back(whole);
    }
    pictures.push_back(row);
  }
  return pictures;
}

ModuleLayout WiringWizard::layout(int wiring_answer, int end_answer) const {
  return {wiring_answer, end_answer == 1, modules_};
}

}  // namespace marquee8
