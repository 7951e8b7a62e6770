#include "board_transfer.h"

#include <cstdio>

namespace marquee8 {

std::string SendReport::summary() const {
  return "sent " + std::to_string(columns) + " columns to " + port + " (" + board.board_name() +
         ", capacity " + std::to_string(board.capacity) + " columns), verified";
}

SendReport send_to_board(const std::string& port, const BoardMessage& message,
                         const RunControl& progress) {
  // Sending and reading back are one task of twice the columns.
  const std::size_t total = 2 * message.columns.size();
  BoardLink link(port, [&](std::size_t, std::size_t) { return progress(0, total); });
  const std::size_t capacity = link.info().capacity;
  if (message.columns.size() > capacity) {
    throw LinkError("the message has " + std::to_string(message.columns.size()) +
                    " columns, but the " + link.info().board_name() + " on " + port +
                    " holds at most " + std::to_string(capacity) + ": nothing was sent");
  }
  try {
    link.store(message, [&](std::size_t done, std::size_t) { return progress(done, total); });
  } catch (const StoreUnknown& error) {
    throw LinkError(std::string(error.what()) +
                    "; the board may show the new message; --receive tells");
  } catch (const LinkError& error) {
    throw LinkError(std::string(error.what()) + "; the board keeps its previous message");
  }
  // Once stored, the message is read back whatever `progress` says: a cancel now would leave
  // the new message unchecked, not the old one in place.
  const std::vector<std::uint8_t> stored = link.read_message([&](std::size_t done, std::size_t) {
    progress(message.columns.size() + done, total);
    return true;
  });
  if (stored != message.columns) {
    throw LinkError("the receiver on " + port + " stored other columns than were sent");
  }
  return {port, link.info(), message.columns.size()};
}

BoardMessage receive_from_board(const std::string& port) {
  BoardLink link(port);
  const BoardInfo& info = link.info();
  if (info.columns == 0) {
    throw LinkError("the receiver on " + port + " stores no message yet");
  }
  return {link.read_message({}), info.step_ms, info.brightness};
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
