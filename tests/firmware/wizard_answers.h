#pragma once

// Answering the wiring wizard as a user does: by comparing its pictures with the chain's LEDs.

#include <algorithm>
#include <string>
#include <vector>

#include "max7219_chain.h"
#include "wiring_wizard.h"

namespace marquee8::testing {

// The 8 columns of module `index` from the left.
inline LedPicture module_of(const Frame& frame, std::size_t index) {
  LedPicture picture;
  for (const std::string& row : frame) picture.push_back(row.substr(8 * index, 8));
  return picture;
}

// The index of the picture equal to `shown`, as a user picks it; -1 if none is.
inline int picked(const std::vector<LedPicture>& pictures, const LedPicture& shown) {
  const auto found = std::find(pictures.begin(), pictures.end(), shown);
  return found == pictures.end() ? -1 : static_cast<int>(found - pictures.begin());
}

}  // namespace marquee8::testing
