// Scrolls a message made by marquee8 across a chain of MAX7219 8x8 LED modules on an Arduino Uno.
//
// marquee8 draws your text in its LED font and writes one byte per column into message.h:
//   marquee8 -f progmem --lead-out=32 "HELLO" -o message.h
// Bit 0 of a byte is the column's top LED, bit 7 its bottom one. The bytes stay in flash
// (PROGMEM), so even a long message leaves the Uno's 2 KB of RAM free. The 32 blank columns at
// the end let the text leave a four-module display before it comes round again.
//
// Wiring, using the Uno's hardware SPI pins:
//   module VCC -> 5V    GND -> GND    DIN -> D11    CLK -> D13    CS -> D10
// The MAX7219 code is in the Marquee8 library beside this sketch (examples/libraries/Marquee8):
// copy that folder into your sketchbook's libraries folder once.

#include <marquee8_display.h>

#include "message.h"

// ---- Settings ---------------------------------------------------------------------------------

const ModuleType MODULE_TYPE = FC16;  // FC16, GENERIC, ...: "Module wirings" in marquee8_display.h
const uint8_t MODULES = 4;            // how many 8x8 modules are chained
const uint16_t STEP_MS = 40;          // how long the text stays at each position, in ms
const uint8_t BRIGHTNESS = 2;         // 0 (dim) to 15 (bright)

// ---------------------------------------------------------------------------------------------

Marquee8Display<MODULES> display(MODULE_TYPE);
uint16_t first = 0;  // the message column shown at the left edge

uint8_t messageColumn(uint16_t index) { return pgm_read_byte(&a[index]); }

void setup() {
  display.begin(BRIGHTNESS);
  display.show(first, slen, messageColumn);  // fill the LED registers before the display goes on
  display.on();
}

void loop() {
  delay(STEP_MS);
  first = nextColumn(first, slen);
  display.show(first, slen, messageColumn);
}
