#pragma once

#include <cstddef>
#include <exception>
#include <functional>

namespace marquee8 {

// Told once per block of work how much of a run is done and how much there is in all (a
// conversion's columns, a pasted array's bytes); returning false ends the run with
// RunCancelled. It is called on the thread doing the work.
using RunControl = std::function<bool(std::size_t done, std::size_t in_all)>;

// A run its RunControl stopped. The canvas is as it was; a sink holds only part of the output,
// so a file being replaced must keep its old contents.
class RunCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "the conversion was cancelled"; }
};

}  // namespace marquee8
