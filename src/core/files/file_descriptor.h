#pragma once

#include <string_view>

namespace marquee8 {

// An open file descriptor, closed on every path out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(FileDescriptor&& other) noexcept;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  ~FileDescriptor();

  int get() const { return fd_; }
  // Both return false with errno set on failure.
  bool write_all(std::string_view bytes) const;
  bool close();

 private:
  int fd_;
};

}  // namespace marquee8
