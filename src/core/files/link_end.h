#pragma once

#include <optional>
#include <string>

namespace marquee8 {

// Where a path leads once symbolic links in its last component are followed.
struct LinkEnd {
  std::string path;  // no link; it may not exist yet
  // Set when the path is one of this process's open descriptors (/dev/stdout, /dev/fd/N,
  // /proc/self/fd/N and their like), which is the file to use rather than anything the
  // descriptor's link text names.
  std::optional<int> descriptor;
};

// Follows the links one by one, as open() would, so that a dangling link leads to the file it
// would create. Throws std::system_error: ELOOP after 40 links, or what lstat() reports.
LinkEnd follow_links(std::string path);

}  // namespace marquee8
