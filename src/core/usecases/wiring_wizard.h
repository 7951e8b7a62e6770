#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "module_wiring.h"

namespace marquee8 {

// A picture of LEDs, top row first, each row's columns left to right: '#' lit, '.' dark.
using LedPicture = std::vector<std::string>;

// What a module wired as `wiring` shows, seen from the front, while its registers hold the
// receiver's test pattern.
LedPicture test_pattern_picture(int wiring);

// The wiring wizard without I/O: while the board shows its test pattern, the user picks the
// picture that looks like the board, at most twice, and the answers give the layout. The
// command line, the window and the page draw the pictures and take the answers their own way.
class WiringWizard {
 public:
  // How long the board is asked to show the pattern, each time a question is put.
  static constexpr int kPatternSeconds = 60;
  static constexpr std::string_view kWiringQuestion =
      "Which picture does the lit module show (the one wired to the board)?";
  static constexpr std::string_view kEndQuestion = "Which picture does the whole row show?";
  // Said when no answer came while the pattern was on show, or the user gave up.
  static std::string unanswered();

  explicit WiringWizard(int modules) : modules_(modules) {}

  // The first question's pictures, one a wiring: the answer is the index of the picture.
  std::vector<LedPicture> wiring_pictures() const;
  // Whether a second question follows: which end of the row the lit module is at.
  bool asks_end() const { return modules_ > 1; }
  // Its pictures, the whole row with the lit module at the right, then at the left.
  std::vector<LedPicture> end_pictures(int wiring_answer) const;
  // The layout the answers give (end_answer 0 when no second question was put).
  ModuleLayout layout(int wiring_answer, int end_answer) const;

 private:
  int modules_;
};

}  // namespace marquee8
