#include "replies.h"

#include "link_error.h"
#include "marquee8_protocol.h"

namespace marquee8 {
namespace {

std::uint16_t get16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string describe_error(int code) {
  switch (code) {
    case MARQUEE8_ERROR_UNKNOWN:
      return "it does not know a command marquee8 sent";
    case MARQUEE8_ERROR_TOO_LONG:
      return "the message does not fit its EEPROM";
    case MARQUEE8_ERROR_SETTINGS:
      return "the step or the brightness is out of range";
    case MARQUEE8_ERROR_VALUE:
      return "a wiring, module count or time it cannot take";
    case MARQUEE8_ERROR_MESSAGE_CRC:
      return "the message it stored does not match what was sent (EEPROM worn out?)";
    default:
      return "it refused a command (error " + std::to_string(code) + ")";
  }
}

}  // namespace

std::string install_again(const std::string& port) {
  return "install the receiver again (marquee8 --install-receiver=" + port + ")";
}

std::string BoardInfo::board_name() const {
  switch (board) {
    case MARQUEE8_BOARD_UNO:
      return "Arduino Uno";
    case MARQUEE8_BOARD_MEGA_2560:
      return "Arduino Mega 2560";
    default:
      return "AVR board";
  }
}

BoardInfo read_info(std::span<const std::uint8_t> bytes, const std::string& port) {
  // The version comes first in every version's INFO; version 2 added bytes at the end.
  const int version = bytes.empty() ? MARQUEE8_PROTOCOL_VERSION : bytes[MARQUEE8_INFO_VERSION];
  if (version != 1 && version != MARQUEE8_PROTOCOL_VERSION) {
    throw LinkError(
        "the receiver on " + port + " speaks version " + std::to_string(version) +
        " of the marquee8 protocol, which this marquee8 does not know (it knows 1 "
        "and " +
        std::to_string(MARQUEE8_PROTOCOL_VERSION) + ")" +
        (version > MARQUEE8_PROTOCOL_VERSION ? ": update marquee8" : ": " + install_again(port)));
  }
  const std::size_t size = version == 1 ? MARQUEE8_INFO_SIZE_V1 : MARQUEE8_INFO_SIZE;
  if (bytes.size() != size) {
    throw LinkError("the receiver on " + port + " sent a reply of the wrong size: an INFO of " +
                    std::to_string(bytes.size()) + " bytes, where version " +
                    std::to_string(version) + " of the marquee8 protocol has " +
                    std::to_string(size) + ": " + install_again(port));
  }
  BoardInfo info;
  info.protocol = version;
  info.board = bytes[MARQUEE8_INFO_BOARD];
  info.capacity = get16(bytes, MARQUEE8_INFO_CAPACITY);
  info.layout.modules = bytes[MARQUEE8_INFO_MODULES];
  info.columns = get16(bytes, MARQUEE8_INFO_COLUMNS);
  info.step_ms = get16(bytes, MARQUEE8_INFO_STEP_MS);
  info.brightness = bytes[MARQUEE8_INFO_BRIGHTNESS];
  info.crc = get16(bytes, MARQUEE8_INFO_CRC);
  if (version == 1) {
    info.layout.wiring = bytes[MARQUEE8_INFO_WIRING] == 0 ? kFc16Wiring : kGenericWiring;
    info.max_modules = info.layout.modules;
  } else {
    info.layout.wiring = bytes[MARQUEE8_INFO_WIRING];
    info.layout.first_module_left = bytes[MARQUEE8_INFO_FIRST_MODULE] == MARQUEE8_FIRST_MODULE_LEFT;
    info.max_modules = bytes[MARQUEE8_INFO_MAX_MODULES];
    // A layout read wrong would be configured back as another one: refuse it instead.
    if (info.layout.wiring >= kWirings ||
        bytes[MARQUEE8_INFO_FIRST_MODULE] > MARQUEE8_FIRST_MODULE_LEFT || info.layout.modules < 1 ||
        info.layout.modules > info.max_modules) {
      throw LinkError("the receiver on " + port +
                      " reports a layout of its modules that this marquee8 does not know "
                      "(wiring " +
                      std::to_string(info.layout.wiring) + ", first module " +
                      std::to_string(bytes[MARQUEE8_INFO_FIRST_MODULE]) + ", " +
                      std::to_string(info.layout.modules) + " of at most " +
                      std::to_string(info.max_modules) + " modules): " + install_again(port));
    }
  }
  return info;
}

std::span<const std::uint8_t> read_data(std::span<const std::uint8_t> payload, std::size_t offset,
                                        std::size_t count, const std::string& port) {
  if (payload.size() != 2 + count || get16(payload, 0) != offset) {
    throw LinkError("the receiver on " + port + " sent back other columns than asked");
  }
  return payload.subspan(2);
}

bool asks_again(std::span<const std::uint8_t> payload, const std::string& port) {
  // An ERROR without its code is itself damaged.
  if (payload.empty()) return true;
  const int code = payload[0];
  if (code == MARQUEE8_ERROR_FRAME_CRC || code == MARQUEE8_ERROR_FRAME) return true;
  throw LinkError("the receiver on " + port + " refused the message: " + describe_error(code));
}

}  // namespace marquee8
