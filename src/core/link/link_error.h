#pragma once

#include <stdexcept>
#include <string>

namespace marquee8 {

// A failed talk with a board, in words a user can act on. The board's stored message is as it
// was before whatever failed, unless the failure is a StoreUnknown.
class LinkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure once the board was asked to store a new message and before it said it had: it may
// show the new message or the old one.
class StoreUnknown : public LinkError {
 public:
  using LinkError::LinkError;
};

}  // namespace marquee8
