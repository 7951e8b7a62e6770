#include "simulated_board.h"

#include <avr_eeprom.h>
#include <avr_ioport.h>
#include <avr_spi.h>
#include <avr_uart.h>
#include <pthread.h>
#include <sim_avr.h>
#include <sim_elf.h>
#include <sim_io.h>
#include <sim_irq.h>
#include <unistd.h>

#include "simulated_spi.h"
// simavr's parts library has no C++ guards of its own.
extern "C" {
#include <uart_pty.h>
}

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#ifdef __SANITIZE_ADDRESS__
// avr_terminate leaves simavr 1.6's IRQs allocated: its leak, not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libsimavr.so\nleak:libsimavrparts.so\n";
}
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace marquee8::testing {
namespace {

// simavr's own logger prints to standard output, where the frames go: keep its errors only. Not
// what the firmware sends either, which the UART prints a line at a time (LOG_OUTPUT), or 256
// bytes at a time, then reading past its buffer's end; nor an overrun, whose message names
// the UART with a string simavr 1.6 does not end: a byte a flood loses is the firmware's to
// survive, not a fault of the simulation.
void log_errors(avr_t*, const int level, const char* format, va_list arguments) {
  if (level != LOG_ERROR || std::strstr(format, "overrun") != nullptr) return;
  std::vfprintf(stderr, format, arguments);
}

// simavr sleeps in real time when the firmware sleeps; simulated time needs no waiting.
void never_sleep(avr_t*, avr_cycle_count_t) {}

// The buffers elf_read_firmware allocates, released once the firmware is in the simulator.
struct ElfFirmware : elf_firmware_t {
  ElfFirmware() : elf_firmware_t{} {}
  ElfFirmware(const ElfFirmware&) = delete;
  ElfFirmware& operator=(const ElfFirmware&) = delete;
  ~ElfFirmware() {
    std::free(flash);
    std::free(eeprom);
    std::free(fuse);
    std::free(lockbits);
    for (std::uint32_t i = 0; i < symbolcount; ++i) std::free(symbol[i]);
    std::free(symbol);
  }
};

avr_irq_t* uart_irq(avr_t* avr, int irq) {
  return avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), irq);
}

}  // namespace

SimulatedBoard::SimulatedBoard(const std::filesystem::path& firmware, Board board,
                               const std::vector<std::uint8_t>* eeprom)
    : SimulatedBoard(board, eeprom, [&](avr_t* avr) {
        ElfFirmware elf;
        if (elf_read_firmware(firmware.c_str(), &elf) != 0) {
          throw std::runtime_error("simavr cannot read " + firmware.string());
        }
        avr_load_firmware(avr, &elf);
      }) {}

SimulatedBoard::SimulatedBoard(const Bootloader& bootloader, Board board,
                               const std::vector<std::uint8_t>* eeprom)
    : SimulatedBoard(board, eeprom, [&](avr_t*) { load_bootloader(bootloader); }) {}

SimulatedBoard::SimulatedBoard(Board board, const std::vector<std::uint8_t>* eeprom,
                               const std::function<void(avr_t*)>& load)
    : cs_pin_(board == Board::kUno ? 2 : 0),  // SS is PB2 on the ATmega328P, PB0 on the 2560
      eeprom_size_(board == Board::kUno ? 1024 : 4096) {
  avr_global_logger_set(log_errors);
  const char* mcu = board == Board::kUno ? "atmega328p" : "atmega2560";
  avr_ = avr_make_mcu_by_name(mcu);
  if (avr_ == nullptr) throw std::runtime_error(std::string("simavr has no ") + mcu);
  avr_init(avr_);
  avr_->frequency = 16'000'000;
  avr_->sleep = never_sleep;
  try {
    load(avr_);
  } catch (...) {
    avr_terminate(avr_);
    std::free(avr_);
    throw;
  }
  eeprom_model_ = std::make_unique<SimulatedEeprom>(avr_);
  correct_spi_speed(avr_);
  // simavr sleeps a microsecond of real time whenever the firmware polls an idle USART, which a
  // bootloader does in a tight loop: the board then falls far behind real time.
  std::uint32_t uart_flags = 0;
  avr_ioctl(avr_, AVR_IOCTL_UART_GET_FLAGS('0'), &uart_flags);
  uart_flags &= ~static_cast<std::uint32_t>(AVR_UART_FLAG_POLL_SLEEP);
  avr_ioctl(avr_, AVR_IOCTL_UART_SET_FLAGS('0'), &uart_flags);
  if (eeprom != nullptr) {
    if (eeprom->size() != eeprom_size_) throw std::invalid_argument("not this board's EEPROM");
    avr_eeprom_desc_t contents = {const_cast<std::uint8_t*>(eeprom->data()), 0,
                                  static_cast<std::uint32_t>(eeprom->size())};
    avr_ioctl(avr_, AVR_IOCTL_EEPROM_SET, &contents);
  }
}

SimulatedBoard::~SimulatedBoard() {
  if (pty_) pull_cable();
  if (port_watch_ >= 0) ::close(port_watch_);
  avr_terminate(avr_);
  std::free(avr_);
}

void SimulatedBoard::on_spi_byte(std::function<void(std::uint8_t)> listener) {
  spi_listener_ = std::move(listener);
  avr_irq_register_notify(
      avr_io_getirq(avr_, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_OUTPUT),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        static_cast<SimulatedBoard*>(self)->spi_listener_(static_cast<std::uint8_t>(value));
      },
      this);
}

void SimulatedBoard::on_chip_select(std::function<void(bool)> listener) {
  pin_listener_ = std::move(listener);
  avr_irq_register_notify(
      avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ('B'), cs_pin_),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        static_cast<SimulatedBoard*>(self)->pin_listener_(value != 0);
      },
      this);
}

void SimulatedBoard::set_alarm(std::uint32_t microseconds, std::function<void()> alarm) {
  constexpr avr_cycle_timer_t ring = [](avr_t*, avr_cycle_count_t, void* self) {
    static_cast<SimulatedBoard*>(self)->alarm_();
    return avr_cycle_count_t{0};  // once
  };
  avr_cycle_timer_cancel(avr_, ring, this);
  alarm_ = std::move(alarm);
  avr_cycle_timer_register_usec(avr_, microseconds, ring, this);
}

std::string SimulatedBoard::open_serial_port() {
  pty_ = std::make_unique<uart_pty_t>();
  uart_pty_init(avr_, pty_.get());
  uart_pty_connect(pty_.get(), '0');
  // Between the pseudo-terminal and the UART, both ways, the bytes pass through the wire's
  // filter, which may damage them.
  avr_irq_t* pty_out = pty_->irq + IRQ_UART_PTY_BYTE_OUT;
  avr_irq_t* pty_in = pty_->irq + IRQ_UART_PTY_BYTE_IN;
  avr_unconnect_irq(pty_out, uart_irq(avr_, UART_IRQ_INPUT));
  avr_unconnect_irq(uart_irq(avr_, UART_IRQ_OUTPUT), pty_in);
  avr_irq_register_notify(
      pty_out,
      [](avr_irq_t*, std::uint32_t value, void* self) {
        auto* board = static_cast<SimulatedBoard*>(self);
        auto byte = static_cast<std::uint8_t>(value);
        if (board->wire_) byte = board->wire_(Direction::kToBoard, byte);
        board->serial_input_.push_back({board->cycle(), byte});
        if (board->bootloader_) {
          board->on_the_wire(byte);
        } else {
          avr_raise_irq(uart_irq(board->avr_, UART_IRQ_INPUT), byte);
        }
      },
      this);
  avr_irq_register_notify(
      uart_irq(avr_, UART_IRQ_OUTPUT),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        auto* board = static_cast<SimulatedBoard*>(self);
        if (!board->pty_) return;  // the cable is pulled
        if (board->bootloader_ && !board->at_the_uarts_speed()) return;
        auto byte = static_cast<std::uint8_t>(value);
        if (board->wire_) byte = board->wire_(Direction::kFromBoard, byte);
        avr_raise_irq(board->pty_->irq + IRQ_UART_PTY_BYTE_IN, byte);
      },
      this);
  if (bootloader_) watch_port_openings(pty_->pty.slavename);
  return pty_->pty.slavename;
}

void SimulatedBoard::pull_cable() {
  // Not uart_pty_stop: it signals its thread with SIGINT, which ends the whole process.
  ::pthread_cancel(pty_->thread);
  ::pthread_join(pty_->thread, nullptr);
  for (uart_pty_port_t& port : pty_->port) {
    if (port.s != 0) ::close(port.s);
    port.s = 0;
    // simavr offers no way to take back the hooks uart_pty_connect put on the UART: each time
    // the UART has room they pass on what this port still held. A pulled cable carries nothing.
    port.out.read = port.out.write;
    port.in.read = port.in.write;
  }
  pulled_ptys_.push_back(std::move(pty_));
}

void SimulatedBoard::replay_serial_input(std::vector<SerialInput> input) {
  replay_ = std::move(input);
  replayed_ = 0;
  constexpr avr_cycle_timer_t feed = [](avr_t* avr, avr_cycle_count_t when, void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    while (board->replayed_ < board->replay_.size() &&
           board->replay_[board->replayed_].cycle <= when) {
      avr_raise_irq(uart_irq(avr, UART_IRQ_INPUT), board->replay_[board->replayed_++].byte);
    }
    return board->replayed_ < board->replay_.size()
               ? avr_cycle_count_t{board->replay_[board->replayed_].cycle}
               : avr_cycle_count_t{0};
  };
  if (!replay_.empty()) {
    avr_cycle_timer_register(avr_, replay_.front().cycle - avr_->cycle, feed, this);
  }
}

void SimulatedBoard::on_serial_output(std::function<void(std::uint8_t)> listener) {
  serial_listener_ = std::move(listener);
  avr_irq_register_notify(
      uart_irq(avr_, UART_IRQ_OUTPUT),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        static_cast<SimulatedBoard*>(self)->serial_listener_(static_cast<std::uint8_t>(value));
      },
      this);
}

void SimulatedBoard::run_until(double seconds) {
  const auto end = static_cast<avr_cycle_count_t>(seconds * avr_->frequency);
  while (!stopped_ && avr_->cycle < end) {
    const int state = avr_run(avr_);
    if (reset_cause_ != 0) reset(reset_cause_);
    if (state == cpu_Done || state == cpu_Crashed) {
      throw std::runtime_error("the firmware " +
                               std::string(state == cpu_Done ? "ended" : "crashed") + " after " +
                               std::to_string(simulated_seconds()) + " s");
    }
  }
}

double SimulatedBoard::simulated_seconds() const {
  return static_cast<double>(avr_->cycle) / avr_->frequency;
}

std::uint64_t SimulatedBoard::cycle() const { return avr_->cycle; }

std::vector<std::uint8_t> SimulatedBoard::eeprom() const {
  std::vector<std::uint8_t> bytes(eeprom_size_);
  avr_eeprom_desc_t contents = {bytes.data(), 0, static_cast<std::uint32_t>(bytes.size())};
  // simavr 1.6's avr_ioctl answers -1 even when its EEPROM has copied the bytes.
  avr_ioctl(avr_, AVR_IOCTL_EEPROM_GET, &contents);
  return bytes;
}

}  // namespace marquee8::testing
