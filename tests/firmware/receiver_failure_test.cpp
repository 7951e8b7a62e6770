// Everything that can go wrong between marquee8 and a board: each ends in one clear message
// and exit status 1, or, for a single damaged byte, in a send that succeeds all the same, and
// the board shows the message it showed before, or the new one whole.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "board_session.h"
#include "example_build.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "serial_port.h"
#include "temporary_directory.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;
using Direction = SimulatedBoard::Direction;

// What the test does to the board and its line while marquee8 sends "NEW".
struct Trouble {
  // How the wire changes the n-th byte (from 0) going `direction`.
  std::function<std::uint8_t(Direction direction, std::size_t n, std::uint8_t byte)> wire;
  // Whether the board runs, told how many bytes it has received; may pull the cable.
  std::function<bool(SimulatedBoard& board, std::size_t received)> runs;
};

std::uint8_t flip_bit(std::uint8_t byte) { return byte ^ 0x08; }

// A wire that damages byte `n` going `damaged` and no other.
Trouble damage_one(Direction damaged, std::size_t n) {
  return {[damaged, n](Direction direction, std::size_t index, std::uint8_t byte) {
            return direction == damaged && index == n ? flip_bit(byte) : byte;
          },
          {}};
}

struct Failure {
  std::string name;
  Trouble trouble;
  std::string text;  // what marquee8 sends
  int status;
  std::string message;  // in what marquee8 says; {port} stands for the port
  bool new_message_shown;
};
void PrintTo(const Failure& row, std::ostream* out) { *out << row.name; }

std::string with_port(std::string message, const std::string& port) {
  for (std::size_t at = message.find("{port}"); at != std::string::npos;
       at = message.find("{port}", at + port.size())) {
    message.replace(at, 6, port);
  }
  return message;
}

// Whether the last frame the board received is WRITE_END, which it then stores and answers.
bool received_write_end(const SimulatedBoard& board) {
  const std::vector<SerialInput>& input = board.serial_input();
  const std::size_t size = input.size();
  return size >= MARQUEE8_FRAME_OVERHEAD &&
         input[size - MARQUEE8_FRAME_OVERHEAD].byte == MARQUEE8_FRAME_START &&
         input[size - MARQUEE8_FRAME_OVERHEAD + 1].byte == MARQUEE8_WRITE_END;
}

// The first bytes the greeting and the first commands take: byte 40 to the board lies in the
// first chunk of columns, byte 20 from it in the answer to WRITE_BEGIN.
constexpr std::size_t kInFirstChunk = 40;
constexpr std::size_t kInFirstAnswer = 20;

class SendFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(SendFailure, SaysWhatWentWrongAndKeepsAWholeMessage) {
  const Failure& row = GetParam();
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  const std::string port = board.open_serial_port();
  std::size_t counts[2] = {0, 0};
  if (row.trouble.wire) {
    board.set_wire([&](Direction direction, std::uint8_t byte) {
      return row.trouble.wire(direction, counts[static_cast<int>(direction)]++, byte);
    });
  }
  std::function<bool()> runs;
  if (row.trouble.runs) {
    runs = [&] { return row.trouble.runs(board, board.serial_input().size()); };
  }
  const CommandResult sent = run_beside_board(board, send_command(port, row.text), runs);
  // A board stays powered after marquee8 ends: one whose cable is pulled just after WRITE_END
  // still has its store to finish, however soon marquee8 saw the lost cable.
  if (!runs || runs()) {
    board.resume();
    board.run_until(board.simulated_seconds() + 1.0);
  }
  EXPECT_EQ(sent.status, row.status);
  EXPECT_THAT(sent.output, HasSubstr(with_port(row.message, port)));

  const std::vector<unsigned> shown = message_array(row.new_message_shown ? row.text : "OLD");
  const Recording after = power_up(Board::kUno, board.eeprom(), 3);
  EXPECT_EQ(after.fault, "");
  EXPECT_TRUE(shows_from_start(after.frames, shown));
}

// 84 characters: 6 × 84 + 1 columns and 8 + 32 blank ones, over an Uno's 500.
const std::string kTooLong(84, 'W');

INSTANTIATE_TEST_SUITE_P(
    Troubles, SendFailure,
    ::testing::Values(
        Failure{"one_damaged_byte_to_the_board_is_sent_again",
                damage_one(Direction::kToBoard, kInFirstChunk), "NEW", 0,
                "marquee8: sent 59 columns to {port} (Arduino Uno, capacity 500 columns), verified",
                true},
        Failure{"one_damaged_byte_from_the_board_is_asked_again",
                damage_one(Direction::kFromBoard, kInFirstAnswer), "NEW", 0, "verified", true},
        Failure{"a_line_that_keeps_damaging_bytes",
                {[](Direction direction, std::size_t n, std::uint8_t byte) {
                   // Frames still start, so that the board answers each damaged one.
                   return direction == Direction::kToBoard && n >= kInFirstChunk &&
                                  byte != MARQUEE8_FRAME_START
                              ? flip_bit(byte)
                              : byte;
                 },
                 {}},
                "NEW",
                1,
                "marquee8: the data to or from {port} kept arriving damaged (3 tries): check the "
                "cable; the board keeps its previous message\n",
                false},
        Failure{
            "a_board_that_stops_mid_send",
            {{}, [](SimulatedBoard&, std::size_t received) { return received < kInFirstChunk; }},
            "NEW",
            1,
            "marquee8: the receiver on {port} stopped answering; the board keeps its previous "
            "message\n",
            false},
        Failure{"the_cable_pulled_mid_send",
                {{},
                 [](SimulatedBoard& board, std::size_t received) {
                   if (received >= kInFirstChunk && board.serial_port_open()) board.pull_cable();
                   return true;
                 }},
                "NEW",
                1,
                "marquee8: lost the connection to {port} (was the cable pulled?); the board keeps "
                "its previous message\n",
                false},
        Failure{"the_cable_pulled_once_write_end_went_out",
                {{},
                 [](SimulatedBoard& board, std::size_t) {
                   if (received_write_end(board) && board.serial_port_open()) board.pull_cable();
                   return true;
                 }},
                "NEW",
                1,
                "marquee8: lost the connection to {port} (was the cable pulled?); the board may "
                "show the new message; --receive tells\n",
                true},
        Failure{"nothing_answers",
                {{}, [](SimulatedBoard&, std::size_t) { return false; }},
                "NEW",
                1,
                "marquee8: no marquee8 receiver answered on {port} within 3 s: is the receiver "
                "sketch flashed?\n",
                false},
        Failure{"a_message_over_the_capacity",
                {[previous = 0](Direction direction, std::size_t, std::uint8_t byte) mutable {
                   // No frame may start a write.
                   if (direction == Direction::kToBoard) {
                     EXPECT_FALSE(previous == MARQUEE8_FRAME_START && byte == MARQUEE8_WRITE_BEGIN);
                     previous = byte;
                   }
                   return byte;
                 },
                 {}},
                kTooLong,
                1,
                "marquee8: the message has 545 columns, but the Arduino Uno on {port} holds at "
                "most 500: nothing was sent\n",
                false}),
    [](const auto& info) { return info.param.name; });

// A receiver changed to misbehave, as a broken or foreign one would: whatever marquee8 is asked,
// it ends in one clear message, or reads the message after all, and the board keeps "OLD".
struct Misbehaviour {
  std::string name;
  SketchEdit edit;
  bool receive;  // --receive rather than --send
  int status;
  std::string output;  // {port} stands for the port
};
void PrintTo(const Misbehaviour& row, std::ostream* out) { *out << row.name; }

class MisbehavingReceiver : public ::testing::TestWithParam<Misbehaviour> {};

TEST_P(MisbehavingReceiver, EndsInOneClearMessage) {
  const Misbehaviour& row = GetParam();
  const TemporaryDirectory folder;
  SimulatedBoard board(build_receiver(folder.path(), row.edit), Board::kUno,
                       &old_message_eeprom(Board::kUno));
  const std::string port = board.open_serial_port();
  const std::filesystem::path raw = folder.path() / "message.bin";
  const auto started = std::chrono::steady_clock::now();
  const CommandResult ran = run_beside_board(
      board, row.receive
                 ? std::string(MARQUEE8) + " --receive=" + port + " -f raw -o " + raw.string()
                 : send_command(port, "NEW"));
  // The greeting's 3 s and three tries of 2 s bound every run, whatever the receiver sends; the
  // limit leaves a loaded machine three times that. (A stream the simulation sends pauses only
  // when the computer stalls it; without the bound on each try, marquee8 waits until it does.)
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(ran.status, row.status);
  EXPECT_EQ(ran.output, with_port(row.output, port));
  if (row.receive && row.status == 0) {
    const std::vector<unsigned> old = message_array("OLD");
    std::ostringstream bytes;
    bytes << std::ifstream(raw, std::ios::binary).rdbuf();
    EXPECT_EQ(bytes.str(), std::string(old.begin(), old.end()));
  } else {
    EXPECT_FALSE(std::filesystem::exists(raw));
  }
  EXPECT_TRUE(
      shows_from_start(power_up(Board::kUno, board.eeprom(), 3).frames, message_array("OLD")));
}

constexpr std::string_view kSendInfo = "sendFrame(MARQUEE8_INFO, info, sizeof info);";
constexpr std::string_view kSendData = "sendFrame(MARQUEE8_DATA, data, 2 + count);";

INSTANTIATE_TEST_SUITE_P(
    Receivers, MisbehavingReceiver,
    ::testing::Values(
        Misbehaviour{"another_protocol_version",
                     {"info[MARQUEE8_INFO_VERSION] = MARQUEE8_PROTOCOL_VERSION;",
                      "info[MARQUEE8_INFO_VERSION] = 3;"},
                     false,
                     1,
                     "marquee8: the receiver on {port} speaks version 3 of the marquee8 protocol, "
                     "which this marquee8 does not know (it knows 1 and 2): update marquee8\n"},
        Misbehaviour{"a_short_info",
                     {kSendInfo, "sendFrame(MARQUEE8_INFO, info, 5);"},
                     false,
                     1,
                     "marquee8: the receiver on {port} sent a reply of the wrong size: an INFO of "
                     "5 bytes, where version 2 of the marquee8 protocol has 15: install the "
                     "receiver again (marquee8 --install-receiver={port})\n"},
        Misbehaviour{"an_empty_info",
                     {kSendInfo, "sendFrame(MARQUEE8_INFO, info, 0);"},
                     false,
                     1,
                     "marquee8: the receiver on {port} sent a reply of the wrong size: an INFO of "
                     "0 bytes, where version 2 of the marquee8 protocol has 15: install the "
                     "receiver again (marquee8 --install-receiver={port})\n"},
        Misbehaviour{"a_stream_of_damaged_frames_that_never_pauses", kEndlessDamagedStream, false,
                     1,
                     "marquee8: the data to or from {port} kept arriving damaged (3 tries): check "
                     "the cable; the board keeps its previous message\n"},
        // The frames are whole; the columns in them are not what the board stored.
        Misbehaviour{"columns_read_wrong_every_time",
                     {kSendData, "data[2] ^= 1;\n  sendFrame(MARQUEE8_DATA, data, 2 + count);"},
                     true,
                     1,
                     "marquee8: the message read twice from the receiver on {port} does not have "
                     "the CRC the receiver gave for it: its EEPROM may be failing; send the "
                     "message again\n"},
        Misbehaviour{"columns_read_wrong_once",
                     {kSendData,
                      "static bool flipped = false;\n"
                      "  if (!flipped) data[2] ^= 1;\n"
                      "  flipped = true;\n"
                      "  sendFrame(MARQUEE8_DATA, data, 2 + count);"},
                     true,
                     0,
                     ""}),
    [](const auto& info) { return info.param.name; });

// A port another program holds is refused before anything is sent: the program that has it
// keeps it whole.
TEST(SendFailure, SaysThePortIsInUse) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  const std::string port = board.open_serial_port();
  const SerialPort other_program(port);
  const CommandResult sent = run_beside_board(board, send_command(port, "NEW"));
  EXPECT_EQ(sent.status, 1);
  EXPECT_EQ(sent.output, "marquee8: cannot open " + port +
                             ": the port is in use by another program; close it and try again\n");
  EXPECT_TRUE(board.serial_input().empty());
}

// Opening the port fails before anything is sent: a port that is not there, and one the user
// may not open (run as nobody, when the tests run as root).
TEST(SendFailure, NamesAPortThatCannotBeOpened) {
  const CommandResult missing = run_command(std::string(MARQUEE8) + " --send=/dev/ttyNOSUCH0 NEW");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.output, "marquee8: cannot open /dev/ttyNOSUCH0: no such serial port\n");

  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run marquee8 as nobody";
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  const std::string port = board.open_serial_port();
  const CommandResult denied = run_beside_board(
      board, "setpriv --reuid=nobody --regid=nogroup --clear-groups " + send_command(port, "NEW"));
  EXPECT_EQ(denied.status, 1);
  EXPECT_EQ(denied.output, "marquee8: cannot open " + port +
                               ": permission denied. On Linux the serial ports belong to the "
                               "dialout group: join it with `sudo usermod -aG dialout $USER`, "
                               "then log out and back in\n");
}

}  // namespace
}  // namespace marquee8::testing
