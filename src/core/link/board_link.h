#pragma once

#include <string>

#include "link_session.h"
#include "run_control.h"
#include "serial_port.h"

namespace marquee8 {

// A talk with a marquee8 receiver on a serial port that stays open between requests (the
// wiring wizard's): the session's protocol driven through the computer's own port. `control` is
// asked at least ten times a second while the board is awaited; returning false stops the talk
// with RunCancelled. Every failure throws LinkError. A send or a read of the message is a
// BoardTask (send_to_board), which knows when a stop is safe.
class BoardLink {
 public:
  // Opens the port and waits for the board's greeting; refuses a board of another protocol
  // version. `control`, if given, is asked (0 of 0) while it waits.
  explicit BoardLink(const std::string& port, const RunControl& control = {});

  const std::string& port() const { return port_.name(); }
  const BoardInfo& info() const { return session_.info(); }

  // See LinkSession::configure and show_test_pattern.
  void configure(const ModuleLayout& layout);
  void show_test_pattern(int seconds);

 private:
  void run(const RunControl& control);

  SerialPort port_;
  LinkSession session_;
};

}  // namespace marquee8
