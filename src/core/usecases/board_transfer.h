#pragma once

#include <optional>
#include <string>

#include "board_link.h"
#include "link_error.h"
#include "serial_port.h"

namespace marquee8 {

// What a board holds after a send.
struct SendReport {
  std::string port;
  BoardInfo board;
  std::size_t columns = 0;

  // "sent 37 columns to /dev/ttyACM0 (Arduino Uno, capacity 500 columns), verified"
  std::string summary() const;
};

// Stores `message` on the marquee8 receiver on `port`, reads it back and compares. Throws
// LinkError, leaving the board's previous message in place, for a port that cannot be opened
// or is in use, a board that does not answer or speaks another protocol version, a message
// over the board's capacity (refused before anything is written), a lost connection, a damaged
// line, or a read-back that differs; RunCancelled when `progress` stops it before the board
// was asked to store the message. A failure after that says that the board may show it.
SendReport send_to_board(const std::string& port, const BoardMessage& message,
                         const RunControl& progress);

// The message the receiver on `port` stores, checked against the CRC the receiver gives for
// it. Throws LinkError, also when it stores none.
BoardMessage receive_from_board(const std::string& port);

// What a configure changes; what is not given stays as the board has it.
struct LayoutChange {
  std::optional<int> wiring;
  std::optional<int> modules;
  std::optional<bool> first_module_left;
};

// Tells the receiver on `port` its modules' new layout, which it keeps, and returns the layout
// it then reports. Throws LinkError for a receiver of version 1 (install it again), for more
// modules than the board drives, and as a send does.
ModuleLayout configure_board(const std::string& port, const LayoutChange& change);

// "/dev/ttyACM0  Arduino Uno (2341:0043)", as --list-ports writes a port.
std::string describe_port(const SerialPortInfo& port);

}  // namespace marquee8
