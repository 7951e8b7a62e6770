#include "simulated_spi.h"

#include <avr_spi.h>
#include <sim_avr.h>
#include <sim_core.h>
#include <sim_cycle_timers.h>
#include <sim_interrupts.h>
#include <sim_io.h>

#include <cstring>
#include <stdexcept>

namespace marquee8::testing {
namespace {

avr_cycle_count_t byte_sent(avr_t* avr, avr_cycle_count_t, void* param) {
  auto* spi = static_cast<avr_spi_t*>(param);
  if (avr_regbit_get(avr, spi->spe) && avr_regbit_get(avr, spi->mstr)) {
    avr_raise_interrupt(avr, &spi->spi);
    avr_raise_irq(spi->io.irq + SPI_IRQ_OUTPUT, avr->data[spi->r_spdr]);
  }
  return 0;
}

void data_written(avr_t* avr, avr_io_addr_t address, std::uint8_t value, void* param) {
  auto* spi = static_cast<avr_spi_t*>(param);
  avr_regbit_clear(avr, spi->spi.raised);  // writing SPDR clears SPIF
  avr_core_watch_write(avr, address, value);
  static constexpr avr_cycle_count_t kDivider[] = {4, 16, 64, 128};
  avr_cycle_count_t divider =
      kDivider[avr_regbit_get(avr, spi->spr[0]) | avr_regbit_get(avr, spi->spr[1]) << 1];
  if (avr_regbit_get(avr, spi->spr[2])) divider /= 2;  // SPI2X
  avr_cycle_timer_register(avr, 8 * divider, byte_sent, spi);
}

}  // namespace

void correct_spi_speed(avr_t* avr) {
  for (avr_io_t* io = avr->io_port; io != nullptr; io = io->next) {
    if (std::strcmp(io->kind, "spi") != 0) continue;
    auto* spi = reinterpret_cast<avr_spi_t*>(io);  // simavr's SPI begins with its avr_io_t
    auto& handler = avr->io[AVR_DATA_TO_IO(spi->r_spdr)].w;
    handler.c = data_written;
    handler.param = spi;
    return;
  }
  throw std::runtime_error("simavr has no SPI for this chip");
}

}  // namespace marquee8::testing
