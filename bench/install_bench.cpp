// The receiver installed on a simulated Uno (the genuine optiboot, keeping to real time) by
// marquee8 and by Debian's avrdude, each writing the same HEX and reading it back, timed from
// the command's start to its end: the port's opening and the reset it gives, the bootloader's
// wait, the writing and the reading back.
//   marquee8 takes at most 1.5 times what avrdude takes (the medians of RUNS runs)
//   install_bench [RUNS]      exit status 1 if marquee8 misses the target
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board_session.h"
#include "bootloaders.h"

using namespace marquee8::testing;
using marquee8::BoardModel;

namespace {

constexpr double kMostRatio = 1.5;

// Seconds `command PORT` takes on a factory-fresh Uno.
double seconds_for(const std::string& before_port, const std::string& after_port) {
  SimulatedBoard board(bootloader_of(BoardModel::kUno), chip_of(BoardModel::kUno));
  const std::string port = board.open_serial_port();
  const auto start = std::chrono::steady_clock::now();
  const CommandResult run = run_beside_board(board, before_port + port + after_port);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  if (run.status != 0) {
    std::fprintf(stderr, "%s%s%s failed:\n%s", before_port.c_str(), port.c_str(),
                 after_port.c_str(), run.output.c_str());
    std::exit(2);
  }
  return took.count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::string hex = receiver_hex_of(BoardModel::kUno);
  std::vector<double> ours, avrdude;
  for (int i = 0; i < runs; ++i) {
    ours.push_back(seconds_for(std::string(MARQUEE8) + " --install-receiver=", ""));
    avrdude.push_back(seconds_for(
        std::string(AVRDUDE) + " -C /etc/avrdude.conf -q -c arduino " + "-p m328p -b 115200 -P ",
        " -U flash:w:" + hex + ":i"));
    std::printf("run %d: marquee8 %.2f s, avrdude %.2f s\n", i + 1, ours.back(), avrdude.back());
  }
  const double ratio = median(ours) / median(avrdude);
  std::printf("median: marquee8 %.2f s, avrdude %.2f s, ratio %.2f (target at most %.1f)\n",
              median(ours), median(avrdude), ratio, kMostRatio);
  return ratio <= kMostRatio ? 0 : 1;
}
