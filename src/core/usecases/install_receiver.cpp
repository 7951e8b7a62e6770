#include "install_receiver.h"

#include <fstream>
#include <sstream>

#include "bootloader_client.h"
#include "intel_hex.h"
#include "port_driver.h"

namespace marquee8 {
namespace {

std::vector<std::uint8_t> read_receiver(const std::filesystem::path& hex) {
  std::ifstream file(hex, std::ios::binary);
  if (!file) throw LinkError("cannot read the receiver's HEX file " + hex.string());
  std::ostringstream text;
  text << file.rdbuf();
  return read_intel_hex(text.str());
}

}  // namespace

InstallReport install_receiver(const std::string& port, BoardModel model,
                               const std::filesystem::path& receiver_hex,
                               const RunControl& control) {
  const BootloaderBoard& board = bootloader_board(model);
  BootloaderClient client(board, port, read_receiver(receiver_hex));
  SerialPort serial(port, board.baud);
  drive_port(
      serial,
      [&](std::span<const std::uint8_t> arrived, SerialPort::Clock::time_point now) {
        return client.advance(arrived, now);
      },
      [&] {
        if (control && !control(client.pages_done(), client.pages_in_all())) throw RunCancelled();
      });
  if (control) control(client.pages_in_all(), client.pages_in_all());
  return {port, model};
}

std::filesystem::path installed_receiver(BoardModel model) {
  const BootloaderBoard& board = bootloader_board(model);
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path hex =
      (program.parent_path() / MARQUEE8_RECEIVERS_FROM_PROGRAM / board.receiver).lexically_normal();
  if (error || !std::filesystem::is_regular_file(hex, error)) {
    throw LinkError("the receiver for the " + std::string(board.name) + " is missing: marquee8 " +
                    "looks for " + hex.string() + "; install marquee8 again");
  }
  return hex;
}

}  // namespace marquee8
