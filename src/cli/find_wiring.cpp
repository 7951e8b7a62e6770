#include "find_wiring.h"

#include <stdexcept>

#include "wiring_session.h"

namespace marquee8 {
namespace {

// Pictures side by side, `across` a line, each numbered from 1.
void draw(std::ostream& err, std::string_view question, const std::vector<LedPicture>& pictures,
          std::size_t across) {
  err << "\n" << question << "\n";
  for (std::size_t first = 0; first < pictures.size(); first += across) {
    const std::size_t end = std::min(pictures.size(), first + across);
    err << "\n";
    for (std::size_t at = first; at < end; ++at) {
      const std::string number = std::to_string(at + 1) + ".";
      err << "  " << number << std::string(pictures[at][0].size() + 2 - number.size(), ' ');
    }
    err << "\n";
    for (std::size_t row = 0; row < pictures[first].size(); ++row) {
      for (std::size_t at = first; at < end; ++at) err << "  " << pictures[at][row] << "  ";
      err << "\n";
    }
  }
}

// The number typed, 1 to `count`, less one; asked again after anything else.
int ask_choice(const Console& console, std::size_t count) {
  for (;;) {
    console.err << "\nType the picture's number (1 to " << count << ") and Enter: ";
    console.err.flush();
    std::string line;
    if (!std::getline(console.in, line)) {
      throw std::runtime_error(WiringWizard::unanswered());
    }
    const std::size_t first = line.find_first_not_of(" \t\r");
    const std::size_t last = line.find_last_not_of(" \t\r");
    const std::string answer =
        first == std::string::npos ? "" : line.substr(first, last - first + 1);
    if (answer.size() <= 2 && !answer.empty() &&
        answer.find_first_not_of("0123456789") == std::string::npos) {
      const std::size_t number = std::stoul(answer);
      if (number >= 1 && number <= count) return static_cast<int>(number - 1);
    }
    console.err << "marquee8: '" << answer << "' is none of the pictures' numbers\n";
  }
}

}  // namespace

ModuleLayout ask_wiring(const std::string& port, std::optional<int> modules,
                        const Console& console) {
  WiringSession session(port, modules, {});
  const WiringWizard& wizard = session.wizard();
  int wiring = 0, end = 0;
  try {
    draw(console.err, WiringWizard::kWiringQuestion, wizard.wiring_pictures(), 4);
    wiring = ask_choice(console, kWirings);
    if (wizard.asks_end()) {
      session.show_pattern_again();
      const std::vector<LedPicture> pictures = wizard.end_pictures(wiring);
      draw(console.err, WiringWizard::kEndQuestion, pictures, 1);
      end = ask_choice(console, pictures.size());
    }
  } catch (const std::runtime_error&) {
    // Unanswered, the board goes back to its message at once, on the layout it had.
    session.cancel();
    throw;
  }
  return session.finish(wiring, end);
}

}  // namespace marquee8
