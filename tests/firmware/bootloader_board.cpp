// The parts of a simulated board that a bootloader needs: its flash image and fuses, the reset
// that opening the serial port gives, real time, and simavr 1.6's quirks that a bootloader
// notices, corrected.
#include <avr_uart.h>
#include <avr_watchdog.h>
#include <sim_avr.h>
#include <sim_hex.h>
#include <sim_io.h>
#include <sim_time.h>
// simavr's parts library has no C++ guards of its own.
extern "C" {
#include <uart_pty.h>
}
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "simulated_board.h"

namespace marquee8::testing {
namespace {

// Data addresses, the same on both chips.
constexpr avr_io_addr_t kMcusr = 0x54, kWdtcsr = 0x60, kUcsr0a = 0xC0, kUbrr0l = 0xC4,
                        kUbrr0h = 0xC5;
constexpr std::uint8_t kPowerOnReset = 1 << 0, kExternalReset = 1 << 1;
constexpr std::uint8_t kU2x = 1 << 1;
constexpr std::uint32_t kTickMicroseconds = 1'000;
// A host that holds the board back longer than this (a test between two runs) does not make
// the board race through the time it lost: a bootloader's wait would pass unseen.
constexpr auto kMostLag = std::chrono::milliseconds(20);

struct HexChunks {
  ihex_chunk_p chunks = nullptr;
  int count = 0;
  HexChunks(const HexChunks&) = delete;
  HexChunks& operator=(const HexChunks&) = delete;
  explicit HexChunks(const std::filesystem::path& hex)
      : count(read_ihex_chunks(hex.c_str(), &chunks)) {
    if (count <= 0) throw std::runtime_error("simavr cannot read " + hex.string());
  }
  ~HexChunks() { free_ihex_chunks(chunks); }
};

template <typename Part>
Part* part(avr_t* avr, const char* kind) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (std::strcmp(io->kind, kind) == 0) return reinterpret_cast<Part*>(io);
  }
  throw std::runtime_error(std::string("simavr's chip has no ") + kind);
}

// USART0, the one wired to the USB chip: the ATmega2560 has four, and simavr lists another first.
avr_uart_t* usart0(avr_t* avr) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (std::strcmp(io->kind, "uart") == 0 && reinterpret_cast<avr_uart_t*>(io)->name == '0') {
      return reinterpret_cast<avr_uart_t*>(io);
    }
  }
  throw std::runtime_error("simavr's chip has no USART0");
}

// The watchdog's timeout as WDTCSR's WDP bits set it: 2048 << WDP periods of 128 kHz.
avr_cycle_count_t watchdog_cycles(avr_t* avr) {
  const std::uint8_t wdtcsr = avr->data[kWdtcsr];
  const unsigned wdp = (wdtcsr & 0x07) | ((wdtcsr & 0x20) != 0 ? 8 : 0);
  return (avr_cycle_count_t{2048} << wdp) * avr->frequency / 128'000;
}

}  // namespace

void SimulatedBoard::load_bootloader(const Bootloader& bootloader) {
  // BOOTSZ (high fuse bits 2:1) 11 gives the smallest boot section, each step down twice it.
  const std::uint32_t smallest = avr_->flashend < 0x8000 ? 512 : 1024;
  const std::uint32_t boot_size = smallest << (3 - ((bootloader.high_fuse >> 1) & 3));
  const std::uint32_t boot_start = avr_->flashend + 1 - boot_size;
  const HexChunks hex(bootloader.hex);
  for (int i = 0; i < hex.count; ++i) {
    const ihex_chunk_t& chunk = hex.chunks[i];
    if (chunk.baseaddr < boot_start || chunk.baseaddr + chunk.size > avr_->flashend + 1) {
      throw std::runtime_error(bootloader.hex.string() + " is not in the boot section");
    }
    std::memcpy(avr_->flash + chunk.baseaddr, chunk.data, chunk.size);
  }
  // A board leaves the factory with a sketch; this one idles (`for (;;);`). An erased flash
  // would run into the bootloader, which would start it again with one more return address on
  // the stack each time, until simavr stops at the stack's end where a chip runs on.
  avr_->flash[0] = 0xFF;
  avr_->flash[1] = 0xCF;
  avr_->fuse[1] = bootloader.high_fuse;
  avr_->codeend = avr_->flashend;
  avr_->reset_pc = boot_start;  // BOOTRST
  avr_->pc = boot_start;
  avr_->data[kMcusr] = kPowerOnReset;
  bootloader_ = true;
  correct_simavr();
  start_ticking();
}

void SimulatedBoard::correct_simavr() {
  // simavr 1.6 counts a parity bit in every byte; these boards send 8N1, ten bits a byte.
  constexpr auto retime = [](avr_irq_t*, std::uint32_t, void* self) {
    avr_t* avr = static_cast<SimulatedBoard*>(self)->avr_;
    const std::uint32_t divisor = avr->data[kUbrr0l] | (avr->data[kUbrr0h] & 0x0F) << 8;
    const std::uint32_t cycles_per_bit =
        ((avr->data[kUcsr0a] & kU2x) != 0 ? 8 : 16) * (divisor + 1);
    usart0(avr)->cycles_per_byte = 10 * cycles_per_bit;
  };
  for (const avr_io_addr_t reg : {kUcsr0a, kUbrr0l, kUbrr0h}) {
    avr_irq_register_notify(avr_iomem_getirq(avr_, reg, nullptr, AVR_IOMEM_IRQ_ALL), retime, this);
  }
  // simavr 1.6 keeps a running watchdog's first timeout: optiboot's 16 ms exit would take its
  // 1 s. A new timeout takes effect at once, as on the chip.
  constexpr auto retimeout = [](avr_irq_t*, std::uint32_t, void* self) {
    avr_t* avr = static_cast<SimulatedBoard*>(self)->avr_;
    auto* watchdog = part<avr_watchdog_t>(avr, "watchdog");
    const avr_cycle_count_t cycles = watchdog_cycles(avr);
    if (cycles == watchdog->cycle_count) return;  // a read, or the same timeout
    for (avr_cycle_timer_slot_p slot = avr->cycle_timers.timer; slot != nullptr;
         slot = slot->next) {
      if (slot->param == watchdog) {
        watchdog->cycle_count = cycles;
        avr_cycle_timer_register(avr, cycles, slot->timer, watchdog);
        return;
      }
    }
  };
  avr_irq_register_notify(avr_iomem_getirq(avr_, kWdtcsr, nullptr, AVR_IOMEM_IRQ_ALL), retimeout,
                          this);
}

void SimulatedBoard::watch_port_openings(const std::string& port) {
  if (port_watch_ >= 0) ::close(port_watch_);
  port_watch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (port_watch_ < 0 || ::inotify_add_watch(port_watch_, port.c_str(), IN_OPEN) < 0) {
    throw std::runtime_error("cannot watch " + port);
  }
}

void SimulatedBoard::start_ticking() {
  // Every reset, the chip's own (a watchdog's) as much as ours, drops simavr's timers; a part
  // of the chip's that simavr resets starts the tick again. A reset empties the USART, as on
  // the chip: simavr would keep what the firmware had not read, and a byte on its way in would
  // hold back every byte after it, its timer gone.
  struct ResetHook {
    avr_io_t io;
    SimulatedBoard* board;
  };
  // The board keeps the hook until simavr is gone: simavr 1.6 clears a part's fields after
  // its dealloc, which would write into freed memory.
  auto hook = std::make_shared<ResetHook>(ResetHook{{}, this});
  reset_hook_ = hook;
  hook->io.kind = "marquee8-board";
  hook->io.reset = [](avr_io_t* io) {
    SimulatedBoard* board = reinterpret_cast<ResetHook*>(io)->board;
    board->on_wire_.clear();
    auto& input = usart0(board->avr_)->input;
    input.read = input.write;
    board->tick_from_now();
  };
  avr_register_io(avr_, &hook->io);
  tick_from_now();
}

void SimulatedBoard::tick_from_now() {
  paced_cycle_ = avr_->cycle;
  paced_at_ = std::chrono::steady_clock::now();
  avr_cycle_timer_register_usec(
      avr_, kTickMicroseconds,
      [](avr_t* avr, avr_cycle_count_t when, void* self) {
        static_cast<SimulatedBoard*>(self)->tick();
        return when + avr_usec_to_cycles(avr, kTickMicroseconds);
      },
      this);
}

void SimulatedBoard::tick() {
  // No flow control stands between the USB chip and the USART: what the host sends goes on,
  // whether or not the firmware reads, where simavr's pseudo-terminal would hold it back until
  // the USART asks for more, and give a bootloader after the next reset what an earlier program
  // sent.
  if (pty_) avr_raise_irq(avr_io_getirq(avr_, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON), 1);
  if (port_watch_ >= 0) {
    alignas(inotify_event) std::array<char, 4096> events{};
    ssize_t got = 0;
    while ((got = ::read(port_watch_, events.data(), events.size())) > 0) {
      // A watch on a file names nothing: every event is the bare structure.
      port_openings_ += static_cast<int>(got / static_cast<ssize_t>(sizeof(inotify_event)));
      reset_cause_ = kExternalReset;  // done between two instructions, as the chip's pin does
    }
  }
  const auto due = paced_at_ + std::chrono::nanoseconds((avr_->cycle - paced_cycle_) * 1'000 /
                                                        (avr_->frequency / 1'000'000));
  const auto now = std::chrono::steady_clock::now();
  if (due > now) {
    std::this_thread::sleep_until(due);
  } else if (now - due > kMostLag) {
    paced_cycle_ = avr_->cycle;
    paced_at_ = now;
  }
}

bool SimulatedBoard::at_the_uarts_speed() const {
  termios host{};
  if (!pty_ || ::tcgetattr(pty_->pty.s, &host) != 0) return false;
  constexpr std::array<std::pair<speed_t, double>, 5> kSpeeds = {
      {{B9600, 9'600}, {B19200, 19'200}, {B38400, 38'400}, {B57600, 57'600}, {B115200, 115'200}}};
  double baud = 0;
  for (const auto& [speed, each] : kSpeeds) {
    if (speed == ::cfgetospeed(&host)) baud = each;
  }
  const double uart = 10.0 * avr_->frequency / usart0(avr_)->cycles_per_byte;
  return std::abs(uart - baud) < 0.05 * baud;
}

void SimulatedBoard::on_the_wire(std::uint8_t byte) {
  // A host at another speed than the firmware's gets and gives framing errors, not bytes.
  if (!at_the_uarts_speed()) return;
  // The host's bytes come one a byte's time apart, as on the wire, and the USART holds three
  // that the firmware has not read (two in its buffer, one in its shift register): a bootloader
  // busy flashing its LED loses the rest, where simavr would keep 64.
  constexpr avr_cycle_timer_t arrive = [](avr_t* avr, avr_cycle_count_t when, void* self) {
    auto* board = static_cast<SimulatedBoard*>(self);
    auto* uart = usart0(avr);
    const unsigned unread = (uart->input.write - uart->input.read) & (uart_fifo_fifo_size - 1);
    if (unread < 3) {
      avr_raise_irq(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT),
                    board->on_wire_.front());
    }
    board->on_wire_.pop_front();
    return board->on_wire_.empty() ? avr_cycle_count_t{0} : when + uart->cycles_per_byte;
  };
  on_wire_.push_back(byte);
  if (on_wire_.size() == 1) {
    avr_cycle_timer_register(avr_, usart0(avr_)->cycles_per_byte, arrive, this);
  }
}

void SimulatedBoard::reset(std::uint8_t cause) {
  reset_cause_ = 0;
  avr_reset(avr_);
  avr_->data[kMcusr] |= cause;
}

std::vector<std::uint8_t> SimulatedBoard::flash() const {
  return {avr_->flash, avr_->flash + avr_->flashend + 1};
}

}  // namespace marquee8::testing
