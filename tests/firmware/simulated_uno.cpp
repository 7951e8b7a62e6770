#include "simulated_uno.h"

#include <avr_ioport.h>
#include <avr_spi.h>
#include <sim_avr.h>
#include <sim_elf.h>
#include <sim_irq.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#ifdef __SANITIZE_ADDRESS__
// avr_terminate leaves simavr 1.6's IRQs allocated: its leak, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libsimavr.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace marquee8::testing {
namespace {

// simavr's own logger prints to standard output, where the frames go: keep its errors only.
void log_errors(avr_t*, const int level, const char* format, va_list arguments) {
  if (level <= LOG_ERROR) std::vfprintf(stderr, format, arguments);
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

}  // namespace

SimulatedUno::SimulatedUno(const std::filesystem::path& firmware) {
  avr_global_logger_set(log_errors);
  ElfFirmware elf;
  if (elf_read_firmware(firmware.c_str(), &elf) != 0) {
    throw std::runtime_error("simavr cannot read " + firmware.string());
  }
  avr_ = avr_make_mcu_by_name("atmega328p");
  if (avr_ == nullptr) throw std::runtime_error("simavr has no ATmega328P");
  avr_init(avr_);
  avr_->frequency = 16'000'000;
  avr_->sleep = never_sleep;
  avr_load_firmware(avr_, &elf);
}

SimulatedUno::~SimulatedUno() {
  avr_terminate(avr_);
  std::free(avr_);
}

void SimulatedUno::on_spi_byte(std::function<void(std::uint8_t)> listener) {
  spi_listener_ = std::move(listener);
  avr_irq_register_notify(
      avr_io_getirq(avr_, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_OUTPUT),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        static_cast<SimulatedUno*>(self)->spi_listener_(static_cast<std::uint8_t>(value));
      },
      this);
}

void SimulatedUno::on_port_b_pin(int pin, std::function<void(bool)> listener) {
  pin_listener_ = std::move(listener);
  avr_irq_register_notify(
      avr_io_getirq(avr_, AVR_IOCTL_IOPORT_GETIRQ('B'), pin),
      [](avr_irq_t*, std::uint32_t value, void* self) {
        static_cast<SimulatedUno*>(self)->pin_listener_(value != 0);
      },
      this);
}

void SimulatedUno::set_alarm(std::uint32_t microseconds, std::function<void()> alarm) {
  constexpr avr_cycle_timer_t ring = [](avr_t*, avr_cycle_count_t, void* self) {
    static_cast<SimulatedUno*>(self)->alarm_();
    return avr_cycle_count_t{0};  // once
  };
  avr_cycle_timer_cancel(avr_, ring, this);
  alarm_ = std::move(alarm);
  avr_cycle_timer_register_usec(avr_, microseconds, ring, this);
}

void SimulatedUno::run_until(double seconds) {
  const auto end = static_cast<avr_cycle_count_t>(seconds * avr_->frequency);
  while (!stopped_ && avr_->cycle < end) {
    const int state = avr_run(avr_);
    if (state == cpu_Done || state == cpu_Crashed) {
      throw std::runtime_error("the firmware " +
                               std::string(state == cpu_Done ? "ended" : "crashed") + " after " +
                               std::to_string(simulated_seconds()) + " s");
    }
  }
}

double SimulatedUno::simulated_seconds() const {
  return static_cast<double>(avr_->cycle) / avr_->frequency;
}

}  // namespace marquee8::testing
