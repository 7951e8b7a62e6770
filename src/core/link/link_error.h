#pragma once

#include <stdexcept>
#include <string>

namespace marquee8 {

// A failed talk with a board, in words a user can act on. The board's stored message is as it
// was before whatever failed.
class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace marquee8
