#include "temporary_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "throw_errno.h"

namespace marquee8 {

TemporaryFile::TemporaryFile(const std::string& target)
    : name_(target.substr(0, target.rfind('/') + 1) + ".marquee8-XXXXXX"),
      fd_(::mkostemp(name_.data(), O_CLOEXEC)) {
  if (fd_.get() < 0) throw_errno();
}

TemporaryFile::~TemporaryFile() {
  if (exists_) ::unlink(name_.c_str());
}

void TemporaryFile::rename_over(const std::string& target) {
  if (::fsync(fd_.get()) != 0 || !fd_.close()) throw_errno();
  if (::rename(name_.c_str(), target.c_str()) != 0) throw_errno();
  exists_ = false;
}

}  // namespace marquee8
