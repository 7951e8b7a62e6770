#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace marquee8 {

namespace {

[[noreturn]] void fail(const std::string& path) {
  throw std::system_error(errno, std::generic_category(), "cannot write '" + path + "'");
}

// A replaced file keeps its permissions; a new one gets what the umask allows.
mode_t mode_for(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Owns the temporary file until it is renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target) : name_(target + ".XXXXXX") {
    std::vector<char> pattern(name_.begin(), name_.end());
    pattern.push_back('\0');
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) fail(target);
    name_.assign(pattern.data());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(name_.c_str());
  }

  bool write_all(std::string_view content) const {
    while (!content.empty()) {
      const ssize_t written = ::write(fd_, content.data(), content.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  bool commit(const std::string& target, mode_t mode) {
    if (::fchmod(fd_, mode) != 0 || ::fsync(fd_) != 0) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(name_.c_str(), target.c_str()) != 0) return false;
    renamed_ = true;
    return true;
  }

 private:
  std::string name_;
  int fd_ = -1;
  bool renamed_ = false;
};

}  // namespace

void write_file_atomically(const std::string& path, std::string_view content) {
  const mode_t mode = mode_for(path);
  TemporaryFile file(path);
  if (!file.write_all(content) || !file.commit(path, mode)) fail(path);
}

}  // namespace marquee8
