#include "receiver_support.h"

#include <map>
#include <stdexcept>

#include "board_session.h"
#include "expected_array.h"

namespace marquee8::testing {

std::string firmware_for(Board board) {
  return board == Board::kUno ? RECEIVER_UNO : RECEIVER_MEGA;
}

std::size_t capacity_of(Board board) { return board == Board::kUno ? 500 : 2036; }

std::vector<unsigned> message_array(std::string_view text) {
  OutputSettings settings;
  settings.lead_out = 32;
  return expected_array(text, settings);
}

std::string send_command(const std::string& port, std::string_view text) {
  return std::string(MARQUEE8) + " --send=" + port + " --lead-out=32 -- '" + std::string(text) +
         "'";
}

bool scrolls(const std::vector<Frame>& frames, const std::vector<unsigned>& array) {
  for (std::size_t start = 0; start < array.size(); ++start) {
    std::size_t step = 0;
    while (step < frames.size() && frames[step] == window_frame(array, start + step)) ++step;
    if (step == frames.size()) return true;
  }
  return false;
}

bool shows_from_start(const std::vector<Frame>& frames, const std::vector<unsigned>& array) {
  for (std::size_t step = 0; step < frames.size(); ++step) {
    if (frames[step] != window_frame(array, step)) return false;
  }
  return !frames.empty();
}

Recording power_up(Board board, const std::vector<std::uint8_t>& eeprom, std::size_t count) {
  return record_frames(
      firmware_for(board), ModuleType::kFc16,
      [&](const std::vector<Frame>& frames) { return frames.size() == count; }, board, &eeprom);
}

std::filesystem::path build_receiver(const std::filesystem::path& folder, const SketchEdit& edit) {
  return build_sketch(folder, RECEIVER_SKETCH, ARDUINO_UNO_BUILD_SKETCH, std::span(&edit, 1));
}

const std::vector<std::uint8_t>& old_message_eeprom(Board board) {
  static std::map<Board, std::vector<std::uint8_t>> eeproms;
  if (!eeproms.contains(board)) {
    SimulatedBoard simulated(firmware_for(board), board);
    const std::string port = simulated.open_serial_port();
    const CommandResult sent = run_beside_board(simulated, send_command(port, "OLD"));
    if (sent.status != 0) throw std::runtime_error(sent.output);
    eeproms[board] = simulated.eeprom();
  }
  return eeproms.at(board);
}

}  // namespace marquee8::testing
