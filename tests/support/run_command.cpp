#include "run_command.h"

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace marquee8::testing {

CommandResult run_command(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen((command + " 2>&1").c_str(), "r"), ::pclose);
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string output;
  char buffer[4096];
  while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
    output.append(buffer, got);
  }
  const int status = ::pclose(pipe.release());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), output};
}

}  // namespace marquee8::testing
