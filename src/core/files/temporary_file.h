#pragma once

#include <string>

#include "file_descriptor.h"

namespace marquee8 {

// A new file beside `target`, to be renamed over it once complete and removed otherwise: when
// the object goes, and also when SIGINT, SIGTERM or SIGHUP ends the program first, before it
// dies of that signal as it would have. Its name is short (.marquee8-XXXXXX), so a target name
// of any length the file system accepts still works. The program writes one file at a time, so
// one may exist at once. Failures throw std::system_error.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& target);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();

  const FileDescriptor& fd() const { return fd_; }
  // Syncs and closes the file, then renames it over `target`.
  void rename_over(const std::string& target);

 private:
  FileDescriptor fd_;
  bool exists_ = true;
};

}  // namespace marquee8
