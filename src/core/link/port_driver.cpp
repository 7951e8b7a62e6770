#include "port_driver.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace marquee8 {

void drive_port(SerialPort& port, const LinkAdvance& advance, const std::function<void()>& between,
                const std::function<void(const LinkError&)>& port_failed) {
  using namespace std::chrono_literals;
  std::vector<std::uint8_t> arrived;
  for (;;) {
    const LinkStep step = advance(arrived, SerialPort::Clock::now());
    try {
      if (!step.send.empty()) port.write(step.send);
      if (step.finished) return;
      between();
      arrived = port.read_some(std::min(step.wake, SerialPort::Clock::now() + 100ms));
    } catch (const LinkError& error) {
      if (port_failed) port_failed(error);
      throw;
    }
  }
}

}  // namespace marquee8
