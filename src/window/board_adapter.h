#pragma once

// Where the window meets the board link: Qt's types in, Qt's types out.

#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace marquee8 {

// A serial port as the Send to Board dialog lists it.
struct BoardPort {
  QString name;   // what to open
  QString label;  // "/dev/ttyACM0  Arduino Uno (2341:0043)"
};

// The system's serial ports; none if they cannot be listed.
QList<BoardPort> board_ports();

struct BoardSendResult {
  bool ok = false;
  QString message;  // what the status bar says: the board's summary, or what went wrong
};

// Sends `columns` (bit 0 the top row) to the receiver on `port`, reads them back and compares.
// Runs in any thread; `progress` is told the steps done out of the total and returns false to
// cancel. Throws nothing.
BoardSendResult send_columns_to_board(const QString& port, const std::vector<std::uint8_t>& columns,
                                      int step_ms, int brightness,
                                      const std::function<bool(int done, int total)>& progress);

}  // namespace marquee8
