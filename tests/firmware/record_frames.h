#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "max7219_chain.h"
#include "simulated_board.h"

namespace marquee8::testing {

// Four modules: a 32×8 display.
inline constexpr int kModules = 4;

struct Recording {
  std::vector<Frame> frames;  // every picture that stayed up for the settle time, in order
  std::string fault;          // why the recording stopped early; empty if `enough` stopped it
  double simulated_seconds = 0;
};

using EnoughFrames = std::function<bool(const std::vector<Frame>&)>;

// A chain of `kModules` MAX7219 modules of `type` wired to `board` (DIN to MOSI, CLK to SCK, CS
// to SS) from its start, which records the pictures it shows.
class FrameRecorder {
 public:
  FrameRecorder(SimulatedBoard& board, ModuleType type);

  // Runs the board and records the pictures it shows from now on, until `enough` says so or a
  // fault: a protocol fault, a picture shown with the chain set up wrong, or no picture for a
  // simulated second.
  Recording record(const EnoughFrames& enough);
  // What the LEDs show now, recorded or not.
  Frame shown() const { return chain_.frame(); }

 private:
  SimulatedBoard& board_;
  Max7219Chain chain_;
  const EnoughFrames* enough_ = nullptr;
  Recording recording_;
  bool cs_high_ = true;  // idle: only a rise from low loads the modules
};

// What the display shows at `step` of scrolling `array`: array column (step + x) mod the array's
// length in its column x, bit 0 at the top, as the window's LED preview shows it.
Frame window_frame(const std::vector<unsigned>& array, std::size_t step);

// Runs `firmware` on a simulated `board` and records what it shows, as FrameRecorder does.
Recording record_frames(const std::filesystem::path& firmware, ModuleType type,
                        const EnoughFrames& enough, Board board = Board::kUno,
                        const std::vector<std::uint8_t>* eeprom = nullptr);

}  // namespace marquee8::testing
