#include "font_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "conversion_error.h"
#include "gzip_inflate.h"

namespace marquee8 {

namespace {

[[noreturn]] void unusable(const std::string& message) {
  throw ConversionError(ConversionError::Kind::kFontUnusable, message);
}

class OpenFile {
 public:
  explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  int get() const { return descriptor_; }

 private:
  int descriptor_;
};

const char* not_regular(mode_t mode) {
  if (S_ISDIR(mode)) return "is a directory";
  if (S_ISFIFO(mode)) return "is a pipe, not a regular file";
  if (S_ISSOCK(mode)) return "is a socket, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
  if (!S_ISREG(mode)) return "is not a regular file";
  return nullptr;
}

std::vector<unsigned char> read_all(int descriptor, const std::string& name) {
  std::vector<unsigned char> bytes;
  std::size_t size = 0;
  for (;;) {
    if (bytes.size() == size) bytes.resize(size + 64 * 1024);
    const ssize_t got = ::read(descriptor, bytes.data() + size, bytes.size() - size);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      unusable("cannot read the font " + name + ": " + std::strerror(errno));
    }
    size += static_cast<std::size_t>(got);
    if (size > kMaxFontBytes) {
      unusable("the font " + name + " is larger than " + std::to_string(kMaxFontBytes >> 20) +
               " MiB: not a font file");
    }
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace

std::vector<unsigned char> read_font_file(const std::string& path) {
  const std::string name = "'" + path + "'";
  // Non-blocking, so that opening a FIFO returns at once and is then refused, not waited on.
  const OpenFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) unusable("cannot open the font " + name + ": " + std::strerror(errno));
  struct stat status {};
  if (::fstat(file.get(), &status) != 0) {
    unusable("cannot read the font " + name + ": " + std::strerror(errno));
  }
  if (const char* why = not_regular(status.st_mode)) unusable("the font " + name + " " + why);
  std::vector<unsigned char> bytes = read_all(file.get(), name);
  if (bytes.empty()) unusable("the font " + name + " is empty");
  if (inflates_here(bytes)) {
    try {
      bytes = gzip_inflate(bytes, kMaxFontBytes);
    } catch (const InflateError& error) {
      unusable("the font " + name + " " + error.what());
    }
    if (bytes.empty()) unusable("the font " + name + " is empty once inflated");
  }
  return bytes;
}

}  // namespace marquee8
