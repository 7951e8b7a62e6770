// Writes docs/wirings.svg: the wiring test's picture under each of the eight wirings, named as
// the command line and MD_MAX72XX name them, drawn from the wizard's own pictures so that the
// README cannot show a picture the wizard does not.
#include <iostream>

#include "module_wiring.h"
#include "wiring_wizard.h"

int main() {
  using namespace marquee8;
  constexpr int kLed = 14, kAcross = 4, kPanel = 8 * kLed + 36, kHigh = 8 * kLed + 58;
  std::cout << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kAcross * kPanel
            << "\" height=\"" << 2 * kHigh + 30 << "\" font-family=\"sans-serif\" font-size=\"13\""
            << " text-anchor=\"middle\">\n"
            << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
            << "<text x=\"" << kAcross * kPanel / 2
            << "\" y=\"20\" font-size=\"14\">What the module wired to the board shows during "
               "the wiring test, for each wiring</text>\n";
  for (int wiring = 0; wiring < kWirings; ++wiring) {
    const int left = wiring % kAcross * kPanel + 18, top = wiring / kAcross * kHigh + 34;
    std::cout << "<g>\n<rect x=\"" << left - 4 << "\" y=\"" << top - 4 << "\" width=\""
              << 8 * kLed + 8 << "\" height=\"" << 8 * kLed + 8
              << "\" rx=\"4\" fill=\"#1a1a1a\"/>\n";
    const LedPicture picture = test_pattern_picture(wiring);
    for (int row = 0; row < 8; ++row) {
      for (int column = 0; column < 8; ++column) {
        const bool lit =
            picture[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#';
        std::cout << "<circle cx=\"" << left + column * kLed + kLed / 2 << "\" cy=\""
                  << top + row * kLed + kLed / 2 << "\" r=\"" << kLed / 2 - 1 << "\" fill=\""
                  << (lit ? "#ff3b1f" : "#3a2a28") << "\"/>\n";
      }
    }
    const std::string name = describe_wiring(wiring);
    const std::size_t alias_end = name.find(" (");
    std::cout << "<text x=\"" << left + 4 * kLed << "\" y=\"" << top + 8 * kLed + 20 << "\">"
              << wiring_name(wiring) << "</text>\n";
    if (alias_end != std::string::npos) {
      std::cout << "<text x=\"" << left + 4 * kLed << "\" y=\"" << top + 8 * kLed + 36
                << "\" font-weight=\"bold\">" << name.substr(0, alias_end) << "</text>\n";
    }
    std::cout << "</g>\n";
  }
  std::cout << "</svg>\n";
}
