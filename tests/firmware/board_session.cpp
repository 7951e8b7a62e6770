#include "board_session.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "temporary_directory.h"

extern char** environ;

namespace marquee8::testing {

CommandResult run_beside_board(SimulatedBoard& board, const std::string& command,
                               const std::function<bool()>& board_runs) {
  const TemporaryDirectory folder;
  const std::string output = (folder.path() / "output").string();
  const std::string shell = "exec >'" + output + "' 2>&1; " + command;
  const char* argv[] = {"sh", "-c", shell.c_str(), nullptr};
  // The command gets none of this process's descriptors: holding the pseudo-terminal's master
  // would keep the port alive when the test pulls the cable.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  // A group of its own, so that a command that hangs goes with whatever it started.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const int failed =
      ::posix_spawn(&pid, "/bin/sh", &actions, &attributes, const_cast<char**>(argv), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + command);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int status = 0;
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > give_up) {
      ::kill(-pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      throw std::runtime_error(command + " ran for over a minute");
    }
    if (!board_runs || board_runs()) {
      board.resume();
      board.run_until(board.simulated_seconds() + 0.002);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  std::ostringstream text;
  text << std::ifstream(output).rdbuf();
  return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), text.str()};
}

}  // namespace marquee8::testing
