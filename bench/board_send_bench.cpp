// A 1,000-column message sent with the real marquee8 to the receiver on a simulated Mega 2560,
// stored and read back, timed in the board's simulated time against the physical limit: every
// byte of the exchange on a 115200-baud wire (10 bits a byte) plus 3.4 ms for every EEPROM byte
// written. The exchange is one frame at a time, so the two add up.
//   board_send_bench [RUNS]      exit status 1 if a send takes over 115 % of the limit
#include <algorithm>
#include <cstdio>
#include <string>

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
    std::uint64_t last_reply = 0;
    std::size_t replied = 0;
    board.on_serial_output([&](std::uint8_t) {
      last_reply = board.cycle();
      ++replied;
    });
    const std::string port = board.open_serial_port();
    const std::size_t greeting = MARQUEE8_FRAME_OVERHEAD + MARQUEE8_INFO_SIZE;
    const CommandResult sent = run_beside_board(board, command + port + " " + text);
    if (sent.status != 0) {
      std::fprintf(stderr, "%s", sent.output.c_str());
      return 1;
    }
    const auto& input = board.serial_input();
    const double seconds = static_cast<double>(last_reply - input.front().cycle) / 16e6;
    const std::size_t wire_bytes = input.size() + replied - greeting;
    const double wire = static_cast<double>(wire_bytes) * 10 / MARQUEE8_BAUD;
    const double eeprom = static_cast<double>(board.eeprom_writes()) * 3.4e-3;
    const double ratio = seconds / (wire + eeprom);
    worst = std::max(worst, ratio);
    std::printf("%s", sent.output.c_str());
    std::printf(
        "run %d: %.3f s simulated; limit %.3f s = %zu bytes on the wire %.3f s + %zu EEPROM "
        "bytes %.3f s; %.1f %% of the limit\n",
        run + 1, seconds, wire + eeprom, wire_bytes, wire, board.eeprom_writes(), eeprom,
        100 * ratio);
  }
  return worst <= 1.15 ? 0 : 1;
}
