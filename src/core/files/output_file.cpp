#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "link_end.h"
#include "temporary_file.h"
#include "throw_errno.h"

namespace marquee8 {

struct OutputFile::Replacement {
  Replacement(std::string target, mode_t mode) : target(std::move(target)), mode(mode) {}

  std::string target;
  mode_t mode;  // set at commit: writing as a user other than root clears set-id bits
  TemporaryFile file{target};
};

namespace {

std::system_error naming(const std::string& path, const std::system_error& error) {
  return std::system_error(error.code(), "cannot write '" + path + "'");
}

mode_t new_file_mode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Root gives the file back to its owner (changing the owner clears set-id bits, so the mode
// comes later). Anyone else keeps at least the group where they belong to it, and otherwise the
// new file is theirs, as with sed -i.
void keep_owner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Neither is allowed; the file is written all the same.
  }
}

// Trying to open the file for writing decides whether the user may replace it, exactly as for
// a shell redirection, root included. O_NONBLOCK: should it have become a FIFO since it was
// looked at, this must not wait for a reader.
struct stat writable_status(const std::string& path) {
  const FileDescriptor probe(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat status {};
  if (probe.get() < 0 || ::fstat(probe.get(), &status) != 0) throw_errno();
  return status;
}

// A device or FIFO takes the bytes where it is; a FIFO's open waits for a reader, as in a shell.
FileDescriptor open_in_place(const std::string& path) {
  FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) throw_errno();
  return fd;
}

// A copy of the descriptor shares its offset and append mode with the original.
FileDescriptor duplicate(int descriptor) {
  FileDescriptor fd(::fcntl(descriptor, F_DUPFD_CLOEXEC, 0));
  if (fd.get() < 0) throw_errno();
  return fd;
}

}  // namespace

OutputFile::OutputFile(const std::string& path) try : path_(path) {
  const LinkEnd end = follow_links(path);
  if (end.descriptor) {
    in_place_ = duplicate(*end.descriptor);
    return;
  }
  struct stat status {};
  if (::stat(end.path.c_str(), &status) != 0) {
    if (errno != ENOENT) throw_errno();
    replacement_ = std::make_unique<Replacement>(end.path, new_file_mode());
  } else if (S_ISDIR(status.st_mode)) {
    throw_errno(EISDIR);
  } else if (S_ISREG(status.st_mode)) {
    const struct stat old = writable_status(end.path);
    replacement_ = std::make_unique<Replacement>(end.path, old.st_mode & 07777);
    keep_owner(replacement_->file.fd().get(), old);
  } else {
    in_place_ = open_in_place(end.path);
  }
} catch (const std::system_error& error) {
  throw naming(path, error);
}

OutputFile::~OutputFile() = default;

bool OutputFile::is_terminal() const { return !replacement_ && ::isatty(in_place_.get()) == 1; }

void OutputFile::write(std::string_view bytes) try {
  const FileDescriptor& fd = replacement_ ? replacement_->file.fd() : in_place_;
  if (!fd.write_all(bytes)) throw_errno();
} catch (const std::system_error& error) {
  throw naming(path_, error);
}

void OutputFile::commit() try {
  if (!replacement_) {
    if (!in_place_.close()) throw_errno();
    return;
  }
  if (::fchmod(replacement_->file.fd().get(), replacement_->mode) != 0) throw_errno();
  replacement_->file.rename_over(replacement_->target);
} catch (const std::system_error& error) {
  throw naming(path_, error);
}

}  // namespace marquee8
