#include "link_end.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "throw_errno.h"

namespace marquee8 {

namespace {

// As many as Linux follows before it gives up.
constexpr int kMaxLinks = 40;

// Everything up to and including the last slash: "" for a name in the working folder.
std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

std::string read_link(const std::string& path) {
  char target[PATH_MAX];
  const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
  if (length < 0) throw_errno();
  if (static_cast<std::size_t>(length) == sizeof target) throw_errno(ENAMETOOLONG);
  return {target, static_cast<std::size_t>(length)};
}

// True when `folder` is this process's (or this thread's) descriptor folder in /proc, however
// it is spelled: /dev/fd, /proc/self/fd, /proc/thread-self/fd, /proc/PID/fd.
bool is_own_descriptor_folder(const std::string& folder) {
  const std::unique_ptr<char, decltype(&::free)> real(
      ::realpath(folder.empty() ? "." : folder.c_str(), nullptr), &::free);
  if (!real) return false;
  const std::string process = "/proc/" + std::to_string(::getpid());
  return real.get() == process + "/fd" ||
         real.get() == process + "/task/" + std::to_string(::gettid()) + "/fd";
}

}  // namespace

LinkEnd follow_links(std::string path) {
  for (int links = 0;; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) return {path, std::nullopt};
      throw_errno();
    }
    if (!S_ISLNK(status.st_mode)) return {path, std::nullopt};
    const std::string folder = folder_of(path);
    if (is_own_descriptor_folder(folder)) return {path, std::stoi(path.substr(folder.size()))};
    if (links == kMaxLinks) throw_errno(ELOOP);
    const std::string target = read_link(path);
    path = target.starts_with('/') ? target : folder + target;
  }
}

}  // namespace marquee8
