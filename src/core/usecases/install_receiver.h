#pragma once

#include <filesystem>
#include <string>

#include "bootloader_boards.h"
#include "link_error.h"
#include "run_control.h"

namespace marquee8 {

// A board the receiver was installed on.
struct InstallReport {
  std::string port;
  BoardModel model = BoardModel::kUno;

  // "the receiver is on the Arduino Uno on /dev/ttyACM0, written and read back"
  std::string summary() const;
};

// Puts the receiver sketch (`receiver_hex`, the Intel HEX file installed beside the programs
// for the board's chip: bootloader_board(model).receiver) on the board on `port` through its
// bootloader, reads it back and leaves the bootloader, which starts the receiver. Opening the
// port resets the board into its bootloader. The EEPROM, and so a stored message, is never
// touched. `control` is told the pages written and read back, of all there are; returning
// false stops the install with RunCancelled, after which another install mends the board.
// Throws LinkError, in words for the user, for a port that cannot be opened, no bootloader
// answering, a chip of another signature (before anything is written), a lost connection or
// a read-back that differs; the bootloader itself is never written, so another install can
// always mend the board.
InstallReport install_receiver(const std::string& port, BoardModel model,
                               const std::filesystem::path& receiver_hex,
                               const RunControl& control);

// The receiver's HEX file for `model`'s chip as installed with the programs (in the build tree,
// where the programs built there look). Throws LinkError naming the file if it is missing.
std::filesystem::path installed_receiver(BoardModel model);

}  // namespace marquee8
