// The bootloader client driven through scripted answers on a clock of its own: what it says of
// a chip whose signature is not the board's, before it writes anything.
#include "bootloader_client.h"

#include <gtest/gtest.h>

#include "link_error.h"

namespace marquee8 {
namespace {

using namespace std::chrono_literals;
using Clock = BootloaderClient::Clock;

struct SignatureCase {
  const char* name;
  std::array<std::uint8_t, 3> signature;
  const char* chip;  // as the message names it
};
void PrintTo(const SignatureCase& row, std::ostream* out) { *out << row.name; }

class WrongSignature : public ::testing::TestWithParam<SignatureCase> {};

TEST_P(WrongSignature, IsNamedAndNothingIsWritten) {
  const SignatureCase& c = GetParam();
  BootloaderClient client(bootloader_board(BoardModel::kUno), "/dev/ttyTEST",
                          std::vector<std::uint8_t>(300, 0x55));
  Clock::time_point now{};
  // Past the reset, the first sync ask goes out; optiboot answers it.
  LinkStep step = client.advance({}, now);
  step = client.advance({}, now = step.wake);
  ASSERT_EQ(step.send, (std::vector<std::uint8_t>{0x30, 0x20}));
  step = client.advance(std::vector<std::uint8_t>{0x14, 0x10}, now += 1ms);
  step = client.advance({}, now = step.wake);
  ASSERT_EQ(step.send, (std::vector<std::uint8_t>{0x75, 0x20}));  // read the signature
  const std::vector<std::uint8_t> answer = {0x14, c.signature[0], c.signature[1], c.signature[2],
                                            0x10};
  try {
    client.advance(answer, now += 1ms);
    FAIL() << "taken";
  } catch (const LinkError& error) {
    EXPECT_EQ(std::string(error.what()),
              std::string("the board on /dev/ttyTEST has an ") + c.chip +
                  ", not the Arduino Uno's ATmega328P: choose its board and install again; "
                  "nothing was written");
  }
  EXPECT_EQ(client.pages_done(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Chips, WrongSignature,
    ::testing::Values(SignatureCase{"Atmega328", {0x1E, 0x95, 0x14}, "ATmega328"},
                      SignatureCase{"Atmega168", {0x1E, 0x94, 0x06}, "ATmega168"},
                      SignatureCase{"Unknown", {0x00, 0x00, 0x00}, "unknown chip"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marquee8
