#include "board_link.h"

#include <algorithm>

#include "link_error.h"

namespace marquee8 {
namespace {

using namespace std::chrono_literals;

// How often a wait asks whether the task is to stop.
constexpr auto kAskEvery = 100ms;

}  // namespace

BoardLink::BoardLink(const std::string& port, const RunControl& control)
    : port_(port), session_(port, LinkSession::Clock::now()) {
  run(control);
}

void BoardLink::store(const BoardMessage& message, const RunControl& control) {
  session_.store(message);
  run(control);
}

std::vector<std::uint8_t> BoardLink::read_message(const RunControl& control) {
  session_.read();
  run(control);
  return session_.message();
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
  std::vector<std::uint8_t> arrived;
  for (;;) {
    const LinkStep step = session_.advance(arrived, LinkSession::Clock::now());
    try {
      if (!step.send.empty()) port_.write(step.send);
      if (step.finished) return;
      if (control && !session_.committed() && !control(session_.done(), session_.total())) {
        throw RunCancelled();
      }
      arrived = port_.read_some(std::min(step.wake, LinkSession::Clock::now() + kAskEvery));
    } catch (const LinkError& error) {
      // A port lost once the board was asked to store the message leaves it unknown.
      if (session_.committed()) throw StoreUnknown(error.what());
      throw;
    }
  }
}

}  // namespace marquee8
