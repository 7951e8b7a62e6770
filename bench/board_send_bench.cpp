// A full message sent with the real marquee8 to the receiver on a simulated board, stored and
// read back, timed in the board's simulated time. The board's EEPROM starts full of old bytes
// (every byte 0x00) and the board idles for a few seconds first, as a board on show does
// before the next send. The time the computer takes to answer each reply (its process waking,
// under whatever load the machine has) is counted apart: the targets are for the board's and
// the wire's share. The text is "MMM…": like any text, it has blank columns (the lead-in, the gap
// after each letter, the lead-out; 94 of the Uno's 500), which the receiver keeps as erased
// bytes and does not write.
//   Uno:       500 columns stored and verified in under 1.0 s
//   Mega 2560: 1,000 columns within 110 % of 1.8 ms a column (an EEPROM byte written alone)
//              plus every byte of the exchange on the wire (10 bits a byte at 115200 baud)
//   board_send_bench [RUNS]      exit status 1 if a send misses its target
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "board_session.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"

using namespace marquee8::testing;

namespace {

struct Case {
  const char* name;
  Board board;
  std::size_t eeprom_size;
  std::string text;  // 6 columns a character and one more, after a lead-in of 8
  int lead_out;
  double fixed_limit;  // seconds, or 0 for the Mega's limit from the wire and the columns
};

// The computer's turns: from the end of a reply to the first byte of the next command, less
// what the board spent still writing columns then (WRITE_DATA's OK comes before they are
// written): `written` holds when each byte written was done, in order.
double computer_seconds(const std::vector<SerialInput>& input,
                        const std::vector<std::uint64_t>& replies,
                        const std::vector<std::uint64_t>& written) {
  std::uint64_t turnaround = 0;
  std::size_t reply = 0;
  std::size_t write = 0;
  for (std::size_t i = 1; i < input.size(); ++i) {
    std::optional<std::uint64_t> answered;
    while (reply < replies.size() && replies[reply] < input[i].cycle) {
      if (replies[reply] > input[i - 1].cycle) answered = replies[reply];
      ++reply;
    }
    if (!answered) continue;
    while (write + 1 < written.size() && written[write + 1] <= input[i].cycle) ++write;
    const std::uint64_t busy_until =
        write < written.size() ? std::max(*answered, written[write]) : *answered;
    if (input[i].cycle > busy_until) turnaround += input[i].cycle - busy_until;
  }
  return static_cast<double>(turnaround) / 16e6;
}

// The send's share of the board and the wire over its limit; prints its figures.
double run(const Case& row, int number) {
  constexpr double kIdleSeconds = 5.0;  // the Mega erases a 2 KB slot in 3.7 s
  const std::vector<std::uint8_t> old_bytes(row.eeprom_size, 0x00);
  SimulatedBoard board(firmware_for(row.board), row.board, &old_bytes);
  const std::string port = board.open_serial_port();
  board.run_until(kIdleSeconds);
  const SimulatedEeprom::Operations before = board.eeprom_model().operations();
  std::vector<std::uint64_t> replies;  // when each byte the board sent left it
  board.on_serial_output([&](std::uint8_t) { replies.push_back(board.cycle()); });
  std::vector<std::uint64_t> written;
  board.eeprom_model().on_write([&](std::uint64_t done) { written.push_back(done); });
  const CommandResult sent = run_beside_board(
      board, std::string(MARQUEE8) + " --lead-out=" + std::to_string(row.lead_out) +
                 " --send=" + port + " " + row.text);
  if (sent.status != 0) {
    std::fprintf(stderr, "%s", sent.output.c_str());
    return 2;
  }
  const auto& input = board.serial_input();
  const double seconds = static_cast<double>(replies.back() - input.front().cycle) / 16e6;
  const double computer = computer_seconds(input, replies, written);
  const std::size_t wire_bytes = input.size() + replies.size();
  const double wire = static_cast<double>(wire_bytes) * 10 / MARQUEE8_BAUD;
  const std::size_t columns = 8 + 6 * row.text.size() + 1 + static_cast<std::size_t>(row.lead_out);
  const double limit =
      row.fixed_limit > 0 ? row.fixed_limit : 1.10 * (wire + static_cast<double>(columns) * 1.8e-3);
  const SimulatedEeprom::Operations& after = board.eeprom_model().operations();
  std::printf("%s", sent.output.c_str());
  std::printf(
      "%s run %d: %zu columns, %.3f s simulated, %.3f s of it the computer's turns; board and "
      "wire %.3f s, limit %.3f s (%.1f %%); %zu bytes on the wire %.3f s; EEPROM bytes "
      "programmed during the send: %zu erased and written (3.4 ms), %zu erased (1.8 ms), %zu "
      "written alone (1.8 ms)\n",
      row.name, number, columns, seconds, computer, seconds - computer, limit,
      100 * (seconds - computer) / limit, wire_bytes, wire,
      after.erase_and_write - before.erase_and_write, after.erase - before.erase,
      after.write - before.write);
  return (seconds - computer) / limit;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::stoi(argv[1]) : 3;
  const Case cases[] = {{"uno", Board::kUno, 1024, std::string(81, 'M'), 5, 1.0},
                        {"mega", Board::kMega2560, 4096, std::string(165, 'M'), 1, 0}};
  double worst = 0;
  for (const Case& row : cases) {
    for (int number = 1; number <= runs; ++number) worst = std::max(worst, run(row, number));
  }
  return worst <= 1.0 ? 0 : 1;
}
