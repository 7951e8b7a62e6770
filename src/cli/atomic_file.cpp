#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace marquee8 {

namespace {

[[noreturn]] void fail(const std::string& path, int error = errno) {
  throw std::system_error(error, std::generic_category(), "cannot write '" + path + "'");
}

bool write_all(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Closes a descriptor on every path out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// Owns the temporary file until it is renamed into place.
class TemporaryFile {
 public:
  // mkstemp fills in the X's of the name in place.
  explicit TemporaryFile(const std::string& target)
      : name_(target + ".XXXXXX"), fd_(::mkstemp(name_.data())) {
    if (fd_.get() < 0) fail(target);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!renamed_) ::unlink(name_.c_str());
  }

  bool write(std::string_view content) const { return write_all(fd_.get(), content); }

  bool commit(const std::string& target, mode_t mode) {
    if (::fchmod(fd_.get(), mode) != 0 || ::fsync(fd_.get()) != 0 || !fd_.close() ||
        ::rename(name_.c_str(), target.c_str()) != 0) {
      return false;
    }
    renamed_ = true;
    return true;
  }

 private:
  std::string name_;  // before fd_: the descriptor is opened from it
  FileDescriptor fd_;
  bool renamed_ = false;
};

// A link is followed, so the file it names is replaced and the link stays a link.
std::string resolve_links(const std::string& path) {
  std::error_code error;
  const auto resolved = std::filesystem::canonical(path, error);
  return error ? path : resolved.string();
}

// A device or pipe (/dev/null, /dev/stdout) cannot be replaced by renaming; it takes the bytes.
void write_in_place(const std::string& path, std::string_view content) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (fd.get() < 0 || !write_all(fd.get(), content) || !fd.close()) fail(path);
}

}  // namespace

void write_file_atomically(const std::string& path, std::string_view content) {
  const std::string target = resolve_links(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) fail(path, EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) {
    write_in_place(target, content);
    return;
  }

  // A replaced file keeps its permissions; a new one gets what the umask allows.
  mode_t mode = existing.st_mode & 07777;
  if (!exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  TemporaryFile file(target);
  if (!file.write(content) || !file.commit(target, mode)) fail(path);
}

}  // namespace marquee8
