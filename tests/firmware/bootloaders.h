#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bootloader_boards.h"
#include "simulated_board.h"

namespace marquee8::testing {

// The genuine bootloader a board of `model` leaves the factory with (tests/firmware/bootloaders/).
Bootloader bootloader_of(BoardModel model);
Board chip_of(BoardModel model);
// The receiver's Intel HEX file this build made for `model`'s chip.
std::string receiver_hex_of(BoardModel model);
// What that file puts in the flash, from address 0.
std::vector<std::uint8_t> receiver_image(BoardModel model);

}  // namespace marquee8::testing
