#pragma once

#include <cstddef>
#include <exception>
#include <functional>

namespace marquee8 {

// Told once per block of work how much of a run is done and how much there is in all (a
// conversion's columns, a pasted array's bytes, the columns sent to a board); returning false
// ends the run with RunCancelled. It is called on the thread doing the work; a task that waits
// on a board asks it again at least ten times a second, so that a stop takes effect at once.
using RunControl = std::function<bool(std::size_t done, std::size_t in_all)>;

// A run its RunControl stopped, the one way every long task ends when told to stop. The canvas
// is as it was; a sink holds only part of the output, so a file being replaced must keep its
// old contents; a board keeps its previous message.
class RunCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "cancelled"; }
};

}  // namespace marquee8
