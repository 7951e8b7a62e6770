#pragma once

#include <string>

#include "file_descriptor.h"

namespace marquee8 {

// A new file beside `target`, to be renamed over it once complete and removed otherwise. Its
// name is short (.marquee8-XXXXXX), so a target name of any length the file system accepts
// still works. Failures throw std::system_error.
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
  std::string name_;  // before fd_: mkstemp fills it in as it opens the file
  FileDescriptor fd_;
  bool exists_ = true;
};

}  // namespace marquee8
