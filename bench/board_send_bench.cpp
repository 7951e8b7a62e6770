// A 1,000-column message sent with the real marquee8 to the receiver on a simulated Mega 2560,
// stored and read back, timed in the board's simulated time against the physical limit: every
// byte of the exchange on a 115200-baud wire (10 bits a byte) plus 3.4 ms for every EEPROM byte
// written. The exchange is one frame at a time, so the two add up. The time the computer takes
// to answer each reply (its process waking, under whatever load the machine has) is counted
// apart: the target is for the board's and the wire's share.
//   board_send_bench [RUNS]      exit status 1 if a send takes over 115 % of the limit
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "board_session.h"
#include "marquee8_protocol.h"

using namespace marquee8::testing;

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::stoi(argv[1]) : 3;
  // 165 characters are 6 × 165 + 1 columns; the 8 of the lead-in and one of lead-out make 1,000.
  const std::string command = std::string(MARQUEE8) + " --lead-out=1 --send=";
  const std::string text(165, 'M');
  double worst = 0;
  for (int run = 0; run < runs; ++run) {
    SimulatedBoard board(RECEIVER_MEGA, Board::kMega2560);
    std::vector<std::uint64_t> replies;  // when each byte the board sent left it
    board.on_serial_output([&](std::uint8_t) { replies.push_back(board.cycle()); });
    const std::string port = board.open_serial_port();
    const std::size_t greeting = MARQUEE8_FRAME_OVERHEAD + MARQUEE8_INFO_SIZE;
    const CommandResult sent = run_beside_board(board, command + port + " " + text);
    if (sent.status != 0) {
      std::fprintf(stderr, "%s", sent.output.c_str());
      return 1;
    }
    const auto& input = board.serial_input();
    const double seconds = static_cast<double>(replies.back() - input.front().cycle) / 16e6;
    const std::size_t wire_bytes = input.size() + replies.size() - greeting;
    // The computer's turns: from the end of a reply to the first byte of the next command.
    std::uint64_t turnaround = 0;
    std::size_t reply = 0;
    for (std::size_t i = 1; i < input.size(); ++i) {
      std::optional<std::uint64_t> answered;
      while (reply < replies.size() && replies[reply] < input[i].cycle) {
        if (replies[reply] > input[i - 1].cycle) answered = replies[reply];
        ++reply;
      }
      if (answered) turnaround += input[i].cycle - *answered;
    }
    const double computer = static_cast<double>(turnaround) / 16e6;
    const double wire = static_cast<double>(wire_bytes) * 10 / MARQUEE8_BAUD;
    const double eeprom = static_cast<double>(board.eeprom_writes()) * 3.4e-3;
    const double ratio = (seconds - computer) / (wire + eeprom);
    worst = std::max(worst, ratio);
    std::printf("%s", sent.output.c_str());
    std::printf(
        "run %d: %.3f s simulated, %.3f s of it the computer's turns; limit %.3f s = %zu bytes "
        "on the wire %.3f s + %zu EEPROM bytes %.3f s; board and wire %.1f %% of the limit, "
        "all %.1f %%\n",
        run + 1, seconds, computer, wire + eeprom, wire_bytes, wire, board.eeprom_writes(), eeprom,
        100 * ratio, 100 * seconds / (wire + eeprom));
  }
  return worst <= 1.15 ? 0 : 1;
}
