#include "intel_hex.h"

#include <optional>
#include <string>

#include "link_error.h"

namespace marquee8 {
namespace {

// Far more than any AVR's flash: a larger address is a damaged file, not a chip.
constexpr std::size_t kLargestImage = 256 * 1024;

std::optional<std::uint8_t> hex_byte(std::string_view digits) {
  std::uint8_t value = 0;
  for (const char digit : digits) {
    value = static_cast<std::uint8_t>(value << 4);
    if (digit >= '0' && digit <= '9') {
      value |= static_cast<std::uint8_t>(digit - '0');
    } else if (digit >= 'A' && digit <= 'F') {
      value |= static_cast<std::uint8_t>(digit - 'A' + 10);
    } else if (digit >= 'a' && digit <= 'f') {
      value |= static_cast<std::uint8_t>(digit - 'a' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

// A record's bytes (count, address, type, data, checksum), or nothing if the line is not one.
std::optional<std::vector<std::uint8_t>> record_bytes(std::string_view line) {
  if (line.size() < 11 || line.front() != ':' || line.size() % 2 == 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t sum = 0;
  for (std::size_t i = 1; i < line.size(); i += 2) {
    const auto byte = hex_byte(line.substr(i, 2));
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    sum = static_cast<std::uint8_t>(sum + *byte);
  }
  if (sum != 0 || bytes.size() != bytes[0] + 5u) return std::nullopt;
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> read_intel_hex(std::string_view text) {
  std::vector<std::uint8_t> image;
  std::size_t base = 0;
  int line_number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const auto record = record_bytes(line);
    const auto bad = [&] {
      return LinkError("the receiver's HEX file is damaged at line " + std::to_string(line_number));
    };
    if (!record) throw bad();
    const std::size_t count = (*record)[0];
    const std::size_t address = base + ((*record)[1] << 8 | (*record)[2]);
    const std::uint8_t type = (*record)[3];
    if (type == 0x00) {
      if (address + count > kLargestImage) throw bad();
      if (image.size() < address + count) image.resize(address + count, 0xFF);
      std::copy(record->begin() + 4, record->begin() + 4 + static_cast<std::ptrdiff_t>(count),
                image.begin() + static_cast<std::ptrdiff_t>(address));
    } else if (type == 0x01) {
      return image;
    } else if ((type == 0x02 || type == 0x04) && count == 2) {
      const std::size_t value = (*record)[4] << 8 | (*record)[5];
      base = type == 0x02 ? value << 4 : value << 16;
    } else if (type != 0x03 && type != 0x05) {  // start addresses: nothing for a bootloader
      throw bad();
    }
  }
  throw LinkError("the receiver's HEX file is cut short: it has no end record");
}

}  // namespace marquee8
