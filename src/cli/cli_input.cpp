#include "cli_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <istream>
#include <span>
#include <string_view>
#include <system_error>

#include "decode.h"
#include "file_descriptor.h"
#include "text_limits.h"
#include "utf8_line.h"

namespace marquee8 {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::size_t read_block(std::istream& in, std::span<char> block) {
  try {
    return static_cast<std::size_t>(
        in.rdbuf()->sgetn(block.data(), static_cast<std::streamsize>(block.size())));
  } catch (const std::ios_base::failure& error) {
    // The library's own words ("basic_filebuf::underflow ...") mean nothing to a user.
    throw std::system_error(error.code(), "cannot read standard input");
  }
}

bool is_line_ending(std::string_view tail) {
  return tail == "\n" || tail == "\r\n" || tail == "\r";
}

// Whether `tail`, which starts with a line break, already holds more than one line ending.
bool another_line_follows(std::string_view tail) {
  return tail.size() > 2 || (tail.size() == 2 && tail != "\r\n");
}

}  // namespace

std::optional<std::string> read_stdin_line(std::istream& in) {
  std::string text;
  std::size_t line_break = std::string::npos;
  std::size_t code_units = 0;
  std::array<char, 64 * 1024> block;
  while (const std::size_t got = read_block(in, block)) {
    const std::size_t old_size = text.size();
    text.append(block.data(), got);
    if (line_break == std::string::npos) {
      line_break = old_size + find_line_break(std::string_view(text).substr(old_size));
      if (line_break == text.size()) line_break = std::string::npos;
      const std::size_t line_end = std::min(line_break, text.size());
      code_units += utf16_length(std::string_view(text).substr(old_size, line_end - old_size));
      check_length(code_units - (text.starts_with(kByteOrderMark) ? 1 : 0));
    }
    if (line_break != std::string::npos &&
        another_line_follows(std::string_view(text).substr(line_break))) {
      return text;
    }
  }
  if (text.empty()) return std::nullopt;
  if (line_break != std::string::npos &&
      is_line_ending(std::string_view(text).substr(line_break))) {
    text.resize(line_break);
  }
  return text;
}

std::string read_array_stdin(std::istream& in) {
  ArrayInput text;
  std::array<char, 64 * 1024> block;
  while (const std::size_t got = read_block(in, block)) {
    if (!text.add({block.data(), got})) break;
  }
  return text.take();
}

std::string read_array_file(const std::string& path) {
  const auto failure = [&] {
    return std::system_error(errno, std::generic_category(), "cannot read '" + path + "'");
  };
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw failure();
  ArrayInput text;
  std::array<char, 64 * 1024> block;
  for (;;) {
    const ssize_t got = ::read(file.get(), block.data(), block.size());
    if (got > 0) {
      if (!text.add({block.data(), static_cast<std::size_t>(got)})) break;
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      throw failure();
    }
  }
  return text.take();
}

}  // namespace marquee8
