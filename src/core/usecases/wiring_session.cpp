#include "wiring_session.h"

namespace marquee8 {

WiringSession::WiringSession(const std::string& port, std::optional<int> modules,
                             const RunControl& control)
    : link_(port, control),
      before_(link_.info().layout),
      wizard_(modules.value_or(before_.modules)) {
  if (modules && *modules != before_.modules) {
    ModuleLayout counted = before_;
    counted.modules = *modules;
    link_.configure(counted);
  }
  link_.show_test_pattern(WiringWizard::kPatternSeconds);
}

void WiringSession::show_pattern_again() { link_.show_test_pattern(WiringWizard::kPatternSeconds); }

ModuleLayout WiringSession::finish(int wiring_answer, int end_answer) {
  link_.configure(wizard_.layout(wiring_answer, end_answer));
  return link_.info().layout;
}

ModuleLayout WiringSession::cancel() {
  link_.configure(before_);
  return link_.info().layout;
}

}  // namespace marquee8
