#include "board_transfer.h"

#include <cstdio>

#include "board_task.h"

namespace marquee8 {

std::string SendReport::summary() const { return send_summary(port, board, columns); }

SendReport send_to_board(const std::string& port, const BoardMessage& message,
                         const RunControl& progress) {
  // Sending and reading back are one task of twice the columns.
  const std::size_t total = 2 * message.columns.size();
  BoardLink link(port, [&](std::size_t, std::size_t) { return progress(0, total); });
  check_capacity(link.info(), port, message.columns.size());
  try {
    link.store(message, [&](std::size_t done, std::size_t) { return progress(done, total); });
  } catch (const LinkError& error) {
    throw store_failure(error, "--receive");
  }
  // Once stored, the message is read back whatever `progress` says: a cancel now would leave
  // the new message unchecked, not the old one in place.
  const std::vector<std::uint8_t> stored = link.read_message([&](std::size_t done, std::size_t) {
    progress(message.columns.size() + done, total);
    return true;
  });
  check_stored(stored, message.columns, port);
  return {port, link.info(), message.columns.size()};
}

BoardMessage receive_from_board(const std::string& port) {
  BoardLink link(port);
  const BoardInfo& info = link.info();
  check_has_message(info, port);
  return {link.read_message({}), info.step_ms, info.brightness};
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
