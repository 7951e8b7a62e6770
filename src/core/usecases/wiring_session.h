#pragma once

#include <optional>
#include <string>

#include "board_link.h"
#include "wiring_wizard.h"

namespace marquee8 {

// The wiring wizard talking to a board whose link stays open between the questions, so that
// the board goes on showing its pattern while the user looks; for a front end that asks its
// questions between calls (the window). Each call waits for the board: run it off a window's
// thread. Every failure throws LinkError.
class WiringSession {
 public:
  // Opens the receiver on `port`, tells it `modules` if given and another count than it has,
  // and lights the pattern for the first question. `control` is asked while the board is
  // awaited.
  WiringSession(const std::string& port, std::optional<int> modules, const RunControl& control);

  const std::string& port() const { return link_.port(); }
  const WiringWizard& wizard() const { return wizard_; }
  // Lights the pattern again for the second question.
  void show_pattern_again();
  // Tells the board the layout the answers give; returns the layout it then reports.
  ModuleLayout finish(int wiring_answer, int end_answer);
  // Puts back the layout the board had before, module count too, which also ends the pattern:
  // the board shows its message again at once. Returns the layout it then reports.
  ModuleLayout cancel();

 private:
  BoardLink link_;
  ModuleLayout before_;
  WiringWizard wizard_;
};

}  // namespace marquee8
