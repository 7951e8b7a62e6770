#include <fcntl.h>
#include <unistd.h>

#include <iostream>

#include "cli.h"

namespace {

// A standard descriptor the caller closed must not be handed out to the first file we open,
// or the output would land in it. /dev/null opened the wrong way round fills the gap so that
// every use still fails, as it would have on the closed descriptor.
void fill_closed_standard_descriptors() {
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (::fcntl(fd, F_GETFD) == -1) ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
  }
}

}  // namespace

int main(int argc, char** argv) {
  fill_closed_standard_descriptors();
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return marquee8::run_cli(arguments, {std::cin, ::isatty(STDIN_FILENO) == 1, std::cout,
                                       ::isatty(STDOUT_FILENO) == 1, std::cerr});
}
