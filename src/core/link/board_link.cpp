#include "board_link.h"

#include "link_error.h"
#include "port_driver.h"

namespace marquee8 {
BoardLink::BoardLink(const std::string& port, const RunControl& control)
    : port_(port), session_(port, LinkSession::Clock::now()) {
  run(control);
}

void BoardLink::configure(const ModuleLayout& layout) {
  session_.configure(layout);
  run({});
}

void BoardLink::show_test_pattern(int seconds) {
  session_.show_test_pattern(seconds);
  run({});
}

void BoardLink::run(const RunControl& control) {
  drive_port(
      port_,
      [this](std::span<const std::uint8_t> arrived, LinkSession::Clock::time_point now) {
        return session_.advance(arrived, now);
      },
      [&] {
        if (control && !control(session_.done(), session_.total())) throw RunCancelled();
      });
}

}  // namespace marquee8
