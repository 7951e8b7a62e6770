// The simulated boards are faithful enough to take Debian's avrdude as a real board does: it
// uploads the receiver through each genuine bootloader, and a second session, after the reset
// its opening gives, reads back what the first wrote.
#include <gtest/gtest.h>

#include "board_session.h"
#include "bootloaders.h"

namespace marquee8::testing {
namespace {

struct AvrdudeCase {
  const char* name;
  BoardModel model;
  const char* options;  // the programmer and chip as boards.txt names them
};
// The row's name, not its bytes (a pointer among them), so that the test keeps one name.
void PrintTo(const AvrdudeCase& row, std::ostream* out) { *out << row.name; }

class AvrdudeUpload : public ::testing::TestWithParam<AvrdudeCase> {};

TEST_P(AvrdudeUpload, WritesTheReceiverAndReadsItBackAfterAReset) {
  const AvrdudeCase& c = GetParam();
  SimulatedBoard board(bootloader_of(c.model), chip_of(c.model));
  const std::string port = board.open_serial_port();
  const std::string avrdude = std::string(AVRDUDE) + " -C " + AVRDUDE_CONF + " -q " + c.options +
                              " -P " + port + " -D -U flash:";
  const std::string hex = receiver_hex_of(c.model);
  const CommandResult written = run_beside_board(board, avrdude + "w:" + hex + ":i");
  ASSERT_EQ(written.status, 0) << written.output;
  const CommandResult verified = run_beside_board(board, avrdude + "v:" + hex + ":i");
  EXPECT_EQ(verified.status, 0) << verified.output;
  EXPECT_EQ(board.port_openings(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Bootloaders, AvrdudeUpload,
    ::testing::Values(AvrdudeCase{"Uno", BoardModel::kUno, "-p atmega328p -c arduino -b 115200"},
                      AvrdudeCase{"NanoOldBootloader", BoardModel::kNanoOld,
                                  "-p atmega328p -c arduino -b 57600"},
                      AvrdudeCase{"Mega", BoardModel::kMega, "-p atmega2560 -c wiring -b 115200"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marquee8::testing
