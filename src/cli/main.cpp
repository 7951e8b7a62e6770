#include <unistd.h>

#include <iostream>

#include "cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return marquee8::run_cli(arguments,
                           {std::cin, ::isatty(STDIN_FILENO) == 1, std::cout, std::cerr});
}
