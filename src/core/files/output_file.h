#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "file_descriptor.h"

namespace marquee8 {

// The file the command line's `-o PATH` and the window's Save Output As write, which loses no
// data whatever happens:
// - A regular file is replaced in one step. The bytes go to a temporary file in the same folder
//   that commit() syncs and renames over it, keeping the old file's owner, group and mode (a new
//   file gets 0666 less the umask). Until then the file is as it was, and the temporary goes
//   when this object does or when SIGINT, SIGTERM or SIGHUP ends the program. A file the user
//   may not write is refused, as a shell redirection would refuse it.
// - One of the program's own descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N) is written
//   as it stands, appending if it was opened to append, as a shell redirection would write it.
// - A device or pipe (/dev/null, a FIFO) is written in place.
// Links are followed, so a dangling link creates the file it names. Every failure throws
// std::system_error reading "cannot write 'PATH': reason", with PATH as the user wrote it.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();  // without commit(): a replaced file stays as it was

  bool is_terminal() const;  // the bytes go straight to a terminal
  void write(std::string_view bytes);
  void commit();  // the file now holds exactly the bytes written

 private:
  struct Replacement;

  std::string path_;
  std::unique_ptr<Replacement> replacement_;  // set when a regular file is replaced
  FileDescriptor in_place_;                   // otherwise where the bytes go
};

}  // namespace marquee8
