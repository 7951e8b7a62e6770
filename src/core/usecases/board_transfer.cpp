#include "board_transfer.h"

#include <cstdio>

#include "board_task.h"
#include "port_driver.h"

namespace marquee8 {

namespace {

// Drives `task`, as the page drives it over Web Serial, through the computer's own port.
// `progress`, asked at least ten times a second, stops it with RunCancelled where a stop leaves
// the board as it was.
void run_on_port(BoardTask& task, SerialPort& port, const RunControl& progress) {
  drive_port(
      port,
      [&](std::span<const std::uint8_t> arrived, SerialPort::Clock::time_point now) {
        return task.advance(arrived, now);
      },
      [&] {
        if (progress && !progress(task.done(), task.total()) && task.cancellable()) {
          throw RunCancelled();
        }
      },
      [&](const LinkError& error) { task.port_failed(error); });
}

}  // namespace

std::string SendReport::summary() const { return send_summary(port, board, columns); }

SendReport send_to_board(const std::string& port, const BoardMessage& message,
                         const RunControl& progress) {
  SerialPort serial(port);
  BoardTask task(BoardTask::Kind::kSend, port, message, SerialPort::Clock::now(), "--receive");
  run_on_port(task, serial, progress);
  return {port, task.info(), message.columns.size()};
}

BoardMessage receive_from_board(const std::string& port) {
  SerialPort serial(port);
  BoardTask task(BoardTask::Kind::kReceive, port, {}, SerialPort::Clock::now(), "--receive");
  run_on_port(task, serial, {});
  return {task.received(), task.info().step_ms, task.info().brightness};
}

ModuleLayout configure_board(const std::string& port, const LayoutChange& change) {
  BoardLink link(port);
  ModuleLayout layout = link.info().layout;
  layout.wiring = change.wiring.value_or(layout.wiring);
  layout.modules = change.modules.value_or(layout.modules);
  layout.first_module_left = change.first_module_left.value_or(layout.first_module_left);
  link.configure(layout);
  return link.info().layout;
}

std::string describe_port(const SerialPortInfo& port) {
  std::string line = port.name;
  if (!port.description.empty()) line += "  " + port.description;
  if (port.usb_vendor && port.usb_product) {
    char ids[16];
    std::snprintf(ids, sizeof ids, " (%04x:%04x)", *port.usb_vendor, *port.usb_product);
    line += ids;
  }
  return line;
}

}  // namespace marquee8
