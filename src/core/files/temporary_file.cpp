#include "temporary_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

#include "throw_errno.h"

namespace marquee8 {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler can reach only static memory, so the name lives here. The handlers are
// installed only while the file exists.
char g_name[PATH_MAX];
struct sigaction g_previous[std::size(kSignals)];

extern "C" void remove_and_die(int signal) {
  ::unlink(g_name);
  ::signal(signal, SIG_DFL);
  ::raise(signal);  // delivered once the handler returns, as the signal is blocked inside it
}

// Holds the signals back for one scope, so that the file and its handlers come and go together.
class BlockedSignals {
 public:
  BlockedSignals() {
    sigset_t blocked;
    ::sigemptyset(&blocked);
    for (const int signal : kSignals) ::sigaddset(&blocked, signal);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
  }
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;
  ~BlockedSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

// A signal that was ignored, as under nohup, stays ignored.
void install_handlers() {
  struct sigaction action {};
  action.sa_handler = remove_and_die;
  ::sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) ::sigaddset(&action.sa_mask, signal);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], nullptr, &g_previous[i]);
    if (g_previous[i].sa_handler != SIG_IGN) ::sigaction(kSignals[i], &action, nullptr);
  }
}

void restore_handlers() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &g_previous[i], nullptr);
  }
}

int create_beside(const std::string& target) {
  const BlockedSignals blocked;
  const std::string pattern = target.substr(0, target.rfind('/') + 1) + ".marquee8-XXXXXX";
  if (pattern.size() >= sizeof g_name) throw_errno(ENAMETOOLONG);
  std::memcpy(g_name, pattern.c_str(), pattern.size() + 1);
  const int fd = ::mkostemp(g_name, O_CLOEXEC);
  if (fd < 0) throw_errno();
  install_handlers();
  return fd;
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& target) : fd_(create_beside(target)) {}

TemporaryFile::~TemporaryFile() {
  if (!exists_) return;
  const BlockedSignals blocked;
  ::unlink(g_name);
  restore_handlers();
}

void TemporaryFile::rename_over(const std::string& target) {
  if (::fsync(fd_.get()) != 0 || !fd_.close()) throw_errno();
  const BlockedSignals blocked;
  if (::rename(g_name, target.c_str()) != 0) throw_errno();
  exists_ = false;
  restore_handlers();
}

}  // namespace marquee8
