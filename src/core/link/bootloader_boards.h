#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace marquee8 {

// The boards whose bootloader marquee8 can install the receiver through.
enum class BoardModel { kUno, kNano, kNanoOld, kMega };
// Every model, in the order a list of boards offers them.
inline constexpr std::array<BoardModel, 4> kBoardModels = {BoardModel::kUno, BoardModel::kNano,
                                                           BoardModel::kNanoOld, BoardModel::kMega};

enum class BootloaderProtocolKind { kStk500v1, kStk500v2 };

// What talking to a board's bootloader takes, as the Arduino IDE's boards.txt says.
struct BootloaderBoard {
  std::string_view option;  // --board=...
  std::string_view name;    // for messages: "Arduino Uno"
  // Said beside the name wherever a board is chosen ("not yet tested"); empty for most.
  std::string_view caveat;
  BootloaderProtocolKind protocol;
  int baud;
  std::array<std::uint8_t, 3> signature;
  std::string_view chip;
  std::size_t page_size;
  // The application's room: the flash below the largest boot section the fuses may give.
  std::size_t application_size;
  std::string_view receiver;  // the receiver's HEX file installed for this chip
};

const BootloaderBoard& bootloader_board(BoardModel model);
// The model `--board=` names: uno, nano, nano-old, mega.
std::optional<BoardModel> board_model_named(std::string_view option);
// The chip a signature names, for a message about a board of another kind.
std::string_view chip_with_signature(const std::array<std::uint8_t, 3>& signature);

}  // namespace marquee8
