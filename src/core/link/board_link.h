#pragma once

#include <string>
#include <vector>

#include "link_session.h"
#include "run_control.h"
#include "serial_port.h"

namespace marquee8 {

// A talk with a marquee8 receiver on a serial port: the session's protocol driven through the
// computer's own port. `control` counts the columns a task writes or reads, and is asked at
// least ten times a second while the board is awaited; returning false stops the task with
// RunCancelled, except once the board was asked to store a message. Every failure throws
// LinkError.
class BoardLink {
 public:
  // Opens the port and waits for the board's greeting; refuses a board of another protocol
  // version. `control`, if given, is asked (0 of 0) while it waits.
  explicit BoardLink(const std::string& port, const RunControl& control = {});

  const std::string& port() const { return port_.name(); }
  const BoardInfo& info() const { return session_.info(); }

  // Writes the message and has the board check and store it: see LinkSession::store. A
  // failure after the board was asked to store it is a StoreUnknown.
  void store(const BoardMessage& message, const RunControl& control);
  // The message the board stores, checked against the CRC the board gave for it.
  std::vector<std::uint8_t> read_message(const RunControl& control);
  // See LinkSession::configure and show_test_pattern.
  void configure(const ModuleLayout& layout);
  void show_test_pattern(int seconds);

 private:
  void run(const RunControl& control);

  SerialPort port_;
  LinkSession session_;
};

}  // namespace marquee8
