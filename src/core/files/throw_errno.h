#pragma once

#include <cerrno>
#include <system_error>

namespace marquee8 {

// Reports a failed system call; OutputFile adds which file it was writing.
[[noreturn]] inline void throw_errno(int error = errno) {
  throw std::system_error(error, std::generic_category());
}

}  // namespace marquee8
