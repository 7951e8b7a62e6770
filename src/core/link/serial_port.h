#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace marquee8 {

// A serial port the system has, as --list-ports and the Send to Board dialog show it.
struct SerialPortInfo {
  std::string name;         // what to open: /dev/ttyACM0, COM3
  std::string description;  // the USB product, or the system's description
  std::optional<std::uint16_t> usb_vendor, usb_product;
};

// The system's serial ports (libserialport).
std::vector<SerialPortInfo> serial_ports();

// An open serial port at 115200 baud (or 57600), 8N1, no flow control, through the POSIX terminal
// interface: libserialport 0.1 refuses pseudo-terminals, and the simulated boards' ports are
// ones. Every failure throws LinkError naming the port.
class SerialPort {
 public:
  using Clock = std::chrono::steady_clock;

  explicit SerialPort(const std::string& name, int baud = 115'200);
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  ~SerialPort();

  const std::string& name() const { return name_; }
  void write(std::span<const std::uint8_t> bytes);
  // Whatever has come, waiting until `deadline` for at least one byte; empty if none came.
  std::vector<std::uint8_t> read_some(Clock::time_point deadline);

 private:
  [[noreturn]] void fail() const;
  bool wait(short events, Clock::time_point deadline) const;

  std::string name_;
  int fd_ = -1;
};

}  // namespace marquee8
