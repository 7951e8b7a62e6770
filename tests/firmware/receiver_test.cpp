// The receiver sketch on a simulated Uno and Mega 2560 whose serial port is a pseudo-terminal,
// talked to by the real marquee8 process as a user runs it. What a board shows is judged by the
// simulated MAX7219 chain against marquee8's own array, never by the board's word.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "board_session.h"
#include "example_build.h"
#include "expected_array.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "record_frames.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

struct Sent {
  std::string name;
  Board board;
  std::string board_name;
  std::string text;
};
void PrintTo(const Sent& row, std::ostream* out) { *out << row.name; }

class SendToBoard : public ::testing::TestWithParam<Sent> {};

// A board whose power comes back with `eeprom` scrolls `array` from its start, and --receive
// gives back its bytes.
void expect_scrolls_after_power_up_and_gives_back(Board board_type,
                                                  const std::vector<std::uint8_t>& eeprom,
                                                  const std::vector<unsigned>& array) {
  const Recording powered_up = power_up(board_type, eeprom, array.size() + 2);
  EXPECT_EQ(powered_up.fault, "");
  EXPECT_TRUE(shows_from_start(powered_up.frames, array));

  SimulatedBoard board(firmware_for(board_type), board_type, &eeprom);
  const std::string port = board.open_serial_port();
  const TemporaryDirectory folder;
  const std::filesystem::path raw = folder.path() / "message.bin";
  const CommandResult received = run_beside_board(
      board, std::string(MARQUEE8) + " --receive=" + port + " -f raw -o " + raw.string());
  EXPECT_EQ(received.status, 0) << received.output;
  std::ostringstream bytes;
  bytes << std::ifstream(raw, std::ios::binary).rdbuf();
  EXPECT_EQ(bytes.str(), std::string(array.begin(), array.end()));
}

// Sent, the chain scrolls it at once; after a power cut it scrolls it from the start, and
// --receive gives back its bytes.
TEST_P(SendToBoard, ShowsTheMessageKeepsItAndGivesItBack) {
  const Sent& row = GetParam();
  const std::vector<unsigned> array = message_array(row.text);
  SimulatedBoard board(firmware_for(row.board), row.board, &old_message_eeprom(row.board));
  FrameRecorder recorder(board, ModuleType::kFc16);
  const std::string port = board.open_serial_port();
  const CommandResult sent = run_beside_board(board, send_command(port, row.text));
  EXPECT_EQ(sent.status, 0);
  EXPECT_EQ(sent.output, "marquee8: sent " + std::to_string(array.size()) + " columns to " + port +
                             " (" + row.board_name + ", capacity " +
                             std::to_string(capacity_of(row.board)) + " columns), verified\n");

  const Recording scrolled = recorder.record([&](const std::vector<Frame>& frames) {
    return frames.size() == array.size() + 2 || !scrolls(frames, array);
  });
  EXPECT_EQ(scrolled.fault, "");
  EXPECT_TRUE(scrolls(scrolled.frames, array));
  EXPECT_EQ(scrolled.frames.size(), array.size() + 2);

  const std::vector<std::uint8_t> eeprom = board.eeprom();
  expect_scrolls_after_power_up_and_gives_back(row.board, eeprom, array);
}

INSTANTIATE_TEST_SUITE_P(Boards, SendToBoard,
                         ::testing::Values(Sent{"uno", Board::kUno, "Arduino Uno", "HELLO"},
                                           Sent{"mega", Board::kMega2560, "Arduino Mega 2560",
                                                "825710 gjpqy!"}),
                         [](const auto& info) { return info.param.name; });

// A slot as receivers before this one wrote it: marker 0x4D, the columns not inverted.
std::vector<std::uint8_t> eeprom_of_an_earlier_receiver(const std::vector<unsigned>& array) {
  std::vector<std::uint8_t> eeprom(1024, 0xFF);
  std::uint16_t crc = MARQUEE8_CRC_START;
  for (std::size_t i = 0; i < array.size(); ++i) {
    eeprom[12 + i] = static_cast<std::uint8_t>(array[i]);
    crc = marquee8_crc_add(crc, eeprom[12 + i]);
  }
  const std::uint8_t header[] = {0x4D,
                                 0,
                                 static_cast<std::uint8_t>(array.size()),
                                 static_cast<std::uint8_t>(array.size() >> 8),
                                 40,
                                 0,
                                 2,
                                 static_cast<std::uint8_t>(crc),
                                 static_cast<std::uint8_t>(crc >> 8)};
  std::copy(std::begin(header), std::end(header), eeprom.begin());
  return eeprom;
}

// Installing this receiver over an earlier one keeps the message on show.
TEST(EarlierReceiver, ItsStoredMessageStillScrollsAndReadsBack) {
  const std::vector<unsigned> array = message_array("OLD");
  const std::vector<std::uint8_t> eeprom = eeprom_of_an_earlier_receiver(array);
  expect_scrolls_after_power_up_and_gives_back(Board::kUno, eeprom, array);
}

}  // namespace
}  // namespace marquee8::testing
