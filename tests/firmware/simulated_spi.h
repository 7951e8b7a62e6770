#pragma once

struct avr_t;

namespace marquee8::testing {

// The SPI's speed as the ATmega328P and ATmega2560 datasheets give it: a byte takes 8 SCK
// periods, SCK being the clock divided by 4, 16, 64 or 128 (SPR1:0), halved by SPI2X. simavr 1.6
// takes a fixed 100 us a byte, which makes a MAX7219 refresh some 50 times slower than on a board
// and would let it steal time from whatever a sketch does between refreshes.
void correct_spi_speed(avr_t* avr);

}  // namespace marquee8::testing
