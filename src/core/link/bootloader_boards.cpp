#include "bootloader_boards.h"

namespace marquee8 {
namespace {

constexpr std::array<std::uint8_t, 3> kAtmega328p = {0x1E, 0x95, 0x0F};
constexpr std::array<std::uint8_t, 3> kAtmega2560 = {0x1E, 0x98, 0x01};

constexpr std::array<std::pair<BoardModel, BootloaderBoard>, 4> kBoards = {{
    {BoardModel::kUno,
     {"uno", "Arduino Uno", "", BootloaderProtocolKind::kStk500v1, 115'200, kAtmega328p,
      "ATmega328P", 128, 32'768 - 4'096, "marquee8_receiver_uno.hex"}},
    {BoardModel::kNano,
     {"nano", "Arduino Nano", "", BootloaderProtocolKind::kStk500v1, 115'200, kAtmega328p,
      "ATmega328P", 128, 32'768 - 4'096, "marquee8_receiver_uno.hex"}},
    {BoardModel::kNanoOld,
     {"nano-old", "Arduino Nano (old bootloader)", "", BootloaderProtocolKind::kStk500v1, 57'600,
      kAtmega328p, "ATmega328P", 128, 32'768 - 4'096, "marquee8_receiver_uno.hex"}},
    {BoardModel::kMega,
     {"mega", "Arduino Mega 2560", "not yet tested", BootloaderProtocolKind::kStk500v2, 115'200,
      kAtmega2560, "ATmega2560", 256, 262'144 - 8'192, "marquee8_receiver_mega.hex"}},
}};

constexpr std::array<std::pair<std::array<std::uint8_t, 3>, std::string_view>, 6> kChips = {{
    {kAtmega328p, "ATmega328P"},
    {kAtmega2560, "ATmega2560"},
    {{0x1E, 0x95, 0x14}, "ATmega328"},
    {{0x1E, 0x94, 0x06}, "ATmega168"},
    {{0x1E, 0x95, 0x87}, "ATmega32U4"},
    {{0x1E, 0x97, 0x03}, "ATmega1280"},
}};

}  // namespace

const BootloaderBoard& bootloader_board(BoardModel model) {
  for (const auto& [each, board] : kBoards) {
    if (each == model) return board;
  }
  return kBoards.front().second;
}

std::optional<BoardModel> board_model_named(std::string_view option) {
  for (const auto& [model, board] : kBoards) {
    if (board.option == option) return model;
  }
  return std::nullopt;
}

std::string_view chip_with_signature(const std::array<std::uint8_t, 3>& signature) {
  for (const auto& [each, chip] : kChips) {
    if (each == signature) return chip;
  }
  return "unknown chip";
}

}  // namespace marquee8
