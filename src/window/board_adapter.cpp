#include "board_adapter.h"

#include <exception>

#include "board_transfer.h"

namespace marquee8 {

QList<BoardPort> board_ports() {
  QList<BoardPort> ports;
  try {
    for (const SerialPortInfo& port : serial_ports()) {
      ports.append(
          {QString::fromStdString(port.name), QString::fromStdString(describe_port(port))});
    }
  } catch (const LinkError&) {
    // No list: the port can still be typed in.
  }
  return ports;
}

BoardSendResult send_columns_to_board(const QString& port, const std::vector<std::uint8_t>& columns,
                                      int step_ms, int brightness,
                                      const std::function<bool(int done, int total)>& progress) {
  try {
    const SendReport report =
        send_to_board(port.toStdString(), BoardMessage{columns, step_ms, brightness},
                      [&](std::size_t done, std::size_t total) {
                        return progress(static_cast<int>(done), static_cast<int>(total));
                      });
    return {true, QString::fromStdString(report.summary())};
  } catch (const std::exception& error) {
    return {false, QString::fromStdString(error.what())};
  }
}

}  // namespace marquee8
