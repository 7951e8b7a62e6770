#include "serial_port.h"

#include <fcntl.h>
#include <libserialport.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "link_error.h"

namespace marquee8 {
namespace {

struct PortListDeleter {
  void operator()(sp_port** list) const { sp_free_port_list(list); }
};

std::string text_or_empty(const char* text) { return text != nullptr ? text : ""; }

[[noreturn]] void throw_in_use(const std::string& name) {
  throw LinkError("cannot open " + name +
                  ": the port is in use by another program; close it and try again");
}

}  // namespace

std::vector<SerialPortInfo> serial_ports() {
  sp_port** list = nullptr;
  if (sp_list_ports(&list) != SP_OK) throw LinkError("cannot list the serial ports");
  const std::unique_ptr<sp_port*, PortListDeleter> owned(list);
  std::vector<SerialPortInfo> ports;
  for (sp_port** port = list; *port != nullptr; ++port) {
    SerialPortInfo info{text_or_empty(sp_get_port_name(*port)), {}, {}, {}};
    int vendor = 0, product = 0;
    if (sp_get_port_transport(*port) == SP_TRANSPORT_USB &&
        sp_get_port_usb_vid_pid(*port, &vendor, &product) == SP_OK) {
      info.usb_vendor = static_cast<std::uint16_t>(vendor);
      info.usb_product = static_cast<std::uint16_t>(product);
      info.description = text_or_empty(sp_get_port_usb_product(*port));
    }
    if (info.description.empty()) info.description = text_or_empty(sp_get_port_description(*port));
    ports.push_back(std::move(info));
  }
  return ports;
}

SerialPort::SerialPort(const std::string& name) : name_(name) {
  fd_ = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    if (error == ENOENT || error == ENODEV || error == ENXIO) {
      throw LinkError("cannot open " + name + ": no such serial port");
    }
    if (error == EBUSY) throw_in_use(name);
    if (error == EACCES || error == EPERM) {
      throw LinkError("cannot open " + name +
                      ": permission denied. On Linux the serial ports belong to the dialout "
                      "group: join it with `sudo usermod -aG dialout $USER`, then log out and "
                      "back in");
    }
    throw LinkError("cannot open " + name + ": " + std::strerror(error));
  }
  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) {
    ::close(fd_);
    throw LinkError("cannot open " + name + ": not a serial port");
  }
  // Two programs on one port take each other's bytes. The lock is what other serial tools
  // (picocom, pyserial) take; TIOCEXCL keeps out the programs that take none, but root.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    throw_in_use(name);
  }
  ::ioctl(fd_, TIOCEXCL);
  // 115200 baud 8N1, raw bytes, no flow control; the modem lines as they are (opening raises
  // DTR, which resets an Uno).
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, B115200) != 0 || ::cfsetospeed(&settings, B115200) != 0 ||
      ::tcsetattr(fd_, TCSANOW, &settings) != 0) {
    ::close(fd_);
    throw LinkError("cannot set " + name + " to 115200 baud 8N1");
  }
}

SerialPort::~SerialPort() {
  // The flag outlives this descriptor while another holds the terminal open.
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
}

void SerialPort::fail() const {
  throw LinkError("lost the connection to " + name_ + " (was the cable pulled?)");
}

// Waits until the port is ready for `events`, or until `deadline`; false on the deadline.
bool SerialPort::wait(short events, Clock::time_point deadline) const {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd port = {fd_, events, 0};
    const int ready = ::poll(&port, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (port.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) fail();
    if (ready > 0) return true;
  }
}

void SerialPort::write(std::span<const std::uint8_t> bytes) {
  const auto deadline = Clock::now() + std::chrono::seconds(1);
  while (!bytes.empty()) {
    if (!wait(POLLOUT, deadline)) fail();
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (written < 0) fail();
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
}

std::vector<std::uint8_t> SerialPort::read_some(Clock::time_point deadline) {
  for (;;) {
    if (!wait(POLLIN, deadline)) return {};
    std::vector<std::uint8_t> bytes(256);
    const ssize_t got = ::read(fd_, bytes.data(), bytes.size());
    // A terminal that has lost its device reports a hang-up, EIO or ENXIO; a read of nothing
    // only means the bytes poll() saw are gone, as when another program took them.
    if (got == 0 || (got < 0 && (errno == EAGAIN || errno == EINTR))) continue;
    if (got < 0) fail();
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
  }
}

}  // namespace marquee8
