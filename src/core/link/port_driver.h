#pragma once

#include <functional>
#include <span>

#include "link_error.h"
#include "link_step.h"
#include "serial_port.h"

namespace marquee8 {

// A protocol that does no I/O, asked what to do next with the bytes that arrived and the time.
using LinkAdvance =
    std::function<LinkStep(std::span<const std::uint8_t> arrived, SerialPort::Clock::time_point)>;

// Drives `advance` through a computer's serial port until it finishes: writes what each step
// says, then reads until the step's wake time. `between` runs at least ten times a second while
// it waits, so that a task can stop at once (it throws RunCancelled). A failure of the port
// itself is given to `port_failed`, which may throw what it means at that moment instead.
void drive_port(SerialPort& port, const LinkAdvance& advance, const std::function<void()>& between,
                const std::function<void(const LinkError&)>& port_failed = {});

}  // namespace marquee8
