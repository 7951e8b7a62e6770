#include "board_adapter.h"

#include <exception>

#include "board_transfer.h"

namespace marquee8 {

BoardResult run_board_task(const BoardProgress& progress,
                           const std::function<std::string(const RunControl&)>& task) {
  try {
    return {true, QString::fromStdString(task([&](std::size_t done, std::size_t in_all) {
              return progress(static_cast<int>(done), static_cast<int>(in_all));
            }))};
  } catch (const std::exception& error) {
    return {false, QString::fromStdString(error.what())};
  }
}

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

QList<BoardChoice> board_choices() {
  QList<BoardChoice> choices;
  for (const BoardModel model : kBoardModels) {
    const BootloaderBoard& board = bootloader_board(model);
    choices.append(
        {model, QString::fromUtf8(board.name.data(), static_cast<qsizetype>(board.name.size()))});
  }
  return choices;
}

BoardResult send_columns_to_board(const QString& port, const std::vector<std::uint8_t>& columns,
                                  int step_ms, int brightness, const BoardProgress& progress) {
  return run_board_task(progress, [&](const RunControl& control) {
    return send_to_board(port.toStdString(), BoardMessage{columns, step_ms, brightness}, control)
        .summary();
  });
}

BoardResult install_receiver_on_board(const QString& port, BoardModel model,
                                      const BoardProgress& progress) {
  return run_board_task(progress, [&](const RunControl& control) {
    return install_receiver(port.toStdString(), model, installed_receiver(model), control)
        .summary();
  });
}

}  // namespace marquee8
