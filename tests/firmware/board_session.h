#pragma once

#include <functional>
#include <string>

#include "run_command.h"
#include "simulated_board.h"

namespace marquee8::testing {

// Runs `command` in a shell, as a user runs it, while `board` runs beside it in slices of
// simulated time, until the command ends. The board runs only while `board_runs` (if given)
// says so: a board that stops. Throws if the command takes over a minute.
CommandResult run_beside_board(SimulatedBoard& board, const std::string& command,
                               const std::function<bool()>& board_runs = {});

}  // namespace marquee8::testing
