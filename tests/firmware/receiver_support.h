#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "example_build.h"
#include "record_frames.h"
#include "simulated_board.h"

namespace marquee8::testing {

// The receiver sketch's ELF file for `board`.
std::string firmware_for(Board board);
// Half the EEPROM, less a 12-byte header, as docs/protocol.md lays the slots out.
std::size_t capacity_of(Board board);

// The columns marquee8 writes for `text` with 32 blank columns after it.
std::vector<unsigned> message_array(std::string_view text);
// `marquee8 --send=PORT --lead-out=32 TEXT`.
std::string send_command(const std::string& port, std::string_view text);

// Whether the frames are the windows of `array` at consecutive steps, from any step.
bool scrolls(const std::vector<Frame>& frames, const std::vector<unsigned>& array);
// Whether the first frames a board shows from power-up are `array`'s first steps.
bool shows_from_start(const std::vector<Frame>& frames, const std::vector<unsigned>& array);
// The first `count` pictures a board whose power comes back with `eeprom` shows.
Recording power_up(Board board, const std::vector<std::uint8_t>& eeprom, std::size_t count);

// The receiver sketch for an Uno built in `folder` with `edit` made to it.
std::filesystem::path build_receiver(const std::filesystem::path& folder, const SketchEdit& edit);
// A receiver that greets, then answers the first write with damaged frames at the line's
// pace, for ever.
inline constexpr SketchEdit kEndlessDamagedStream = {
    "return beginWrite(payload);",
    "for (;;) {\n"
    "  const uint8_t damaged[] = {MARQUEE8_FRAME_START, MARQUEE8_OK, 0, 0, 0};\n"
    "  Serial.write(damaged, sizeof damaged);\n"
    "}"};

// The EEPROM of a board that was sent "OLD" (made once per board).
const std::vector<std::uint8_t>& old_message_eeprom(Board board);

}  // namespace marquee8::testing
