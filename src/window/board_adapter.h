#pragma once

// Where the window meets the board link: Qt's types in, Qt's types out.

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "install_receiver.h"
#include "run_control.h"

namespace marquee8 {

// A serial port as the board dialogs list it.
struct BoardPort {
  QString name;   // what to open
  QString label;  // "/dev/ttyACM0  Arduino Uno (2341:0043)"
};

// The system's serial ports; none if they cannot be listed.
QList<BoardPort> board_ports();

// A board the receiver can be installed on, as a list offers it.
struct BoardChoice {
  BoardModel model;
  QString label;  // "Arduino Mega 2560"
};

QList<BoardChoice> board_choices();

struct BoardResult {
  bool ok = false;
  QString message;  // the core's words: what the board now holds, or what went wrong
};

// Told the steps done out of the total; returns false to cancel. Called on the worker thread.
using BoardProgress = std::function<bool(int done, int total)>;

// Runs `task`, which returns the core's words for what it did, telling `progress` what it
// reports, and puts what it throws into words. Runs in any thread. Throws nothing.
BoardResult run_board_task(const BoardProgress& progress,
                           const std::function<std::string(const RunControl&)>& task);

// Sends `columns` (bit 0 the top row) to the receiver on `port`, reads them back and compares.
// Runs in any thread. Throws nothing.
BoardResult send_columns_to_board(const QString& port, const std::vector<std::uint8_t>& columns,
                                  int step_ms, int brightness, const BoardProgress& progress);

// Installs the receiver installed with marquee8 on the `model` on `port`, through its
// bootloader. Runs in any thread. Throws nothing.
BoardResult install_receiver_on_board(const QString& port, BoardModel model,
                                      const BoardProgress& progress);

}  // namespace marquee8
