// The install's report, apart from the install over a serial port: the page words its own
// install, done over Web Serial, with it.
#include "install_receiver.h"

namespace marquee8 {

std::string InstallReport::summary() const {
  return "the receiver is on the " + std::string(bootloader_board(model).name) + " on " + port +
         ", written and read back";
}

}  // namespace marquee8
