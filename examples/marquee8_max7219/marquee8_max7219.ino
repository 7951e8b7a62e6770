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
// No library is needed: the sketch talks to the MAX7219 chips itself.

#include "message.h"

// ---- Settings ---------------------------------------------------------------------------------

enum ModuleType { FC16, GENERIC };

const ModuleType MODULE_TYPE = FC16;  // FC16 or GENERIC, see "Module types" below
const uint8_t MODULES = 4;            // how many 8x8 modules are chained
const uint16_t STEP_MS = 40;          // how long the text stays at each position, in ms
const uint8_t BRIGHTNESS = 2;         // 0 (dim) to 15 (bright)

// ---- Module types -----------------------------------------------------------------------------
// Boards wire their LEDs to the MAX7219 differently. Seen from the front, text upright, with the
// module wired to the Uno at the right-hand end of the chain (both types chain right to left):
//   FC16:    registers 1..8 are the rows top..bottom,    data bits 7..0 the columns left..right
//   GENERIC: registers 1..8 are the columns right..left, data bits 7..0 the rows top..bottom

// ---- The MAX7219 ------------------------------------------------------------------------------
// Registers 1 to 8 hold the LEDs; these others set the chip up (datasheet, table 2).
const uint8_t DECODE_MODE = 0x09;   // 0: every data bit drives one LED
const uint8_t INTENSITY = 0x0A;     // brightness
const uint8_t SCAN_LIMIT = 0x0B;    // 7: light all 8 LED registers
const uint8_t SHUTDOWN = 0x0C;      // 1: display on (it powers up off)
const uint8_t DISPLAY_TEST = 0x0F;  // 0: normal (1 lights every LED)

const uint8_t CS_PIN = 10;  // D10 is also the pin that keeps the SPI hardware in charge

// Sends one byte out of D11, clocked on D13, and waits until the SPI hardware has sent it.
void spiSend(uint8_t value) {
  SPDR = value;
  loop_until_bit_is_set(SPSR, SPIF);
}

// Sets register `reg` of every module, values[0] for the leftmost. Each module takes a 16-bit
// word, register then value; every new word pushes the earlier ones on down the chain, so the
// first word sent ends up in the far (leftmost) module. All modules act when CS goes high.
void writeRegister(uint8_t reg, const uint8_t values[]) {
  digitalWrite(CS_PIN, LOW);
  for (uint8_t module = 0; module < MODULES; module++) {
    spiSend(reg);
    spiSend(values[module]);
  }
  digitalWrite(CS_PIN, HIGH);
}

// Sets register `reg` of every module to the same value.
void writeAll(uint8_t reg, uint8_t value) {
  uint8_t values[MODULES];
  for (uint8_t module = 0; module < MODULES; module++) values[module] = value;
  writeRegister(reg, values);
}

// The message column after `column`: slen is the index of the last one, then it starts again.
uint16_t nextColumn(uint16_t column) { return column == slen ? 0 : column + 1; }

// What register `reg` (1..8) of a module holds to show its 8 columns, columns[0] the leftmost.
uint8_t registerValue(const uint8_t columns[], uint8_t reg) {
  uint8_t value = 0;
  for (uint8_t bit = 0; bit < 8; bit++) {
    // The LED that this bit of this register drives, counted from the module's top left.
    uint8_t row = MODULE_TYPE == FC16 ? reg - 1 : 7 - bit;
    uint8_t column = MODULE_TYPE == FC16 ? 7 - bit : 8 - reg;
    if (columns[column] & (1 << row)) value |= 1 << bit;
  }
  return value;
}

uint16_t first = 0;  // the message column shown at the left edge

// Shows the message from column `first` on, wrapping round to its start when it runs out.
void show() {
  uint8_t window[MODULES * 8];  // the columns on show, left to right
  uint16_t column = first;
  for (uint8_t x = 0; x < MODULES * 8; x++) {
    window[x] = pgm_read_byte(&a[column]);
    column = nextColumn(column);
  }
  for (uint8_t reg = 1; reg <= 8; reg++) {
    uint8_t values[MODULES];
    for (uint8_t module = 0; module < MODULES; module++) {
      values[module] = registerValue(&window[module * 8], reg);
    }
    writeRegister(reg, values);
  }
}

void setup() {
  digitalWrite(CS_PIN, HIGH);   // high before it drives the pin: a stray pulse would load
  pinMode(CS_PIN, OUTPUT);      // whatever the modules happen to hold
  pinMode(11, OUTPUT);          // MOSI, to DIN
  pinMode(13, OUTPUT);          // SCK, to CLK
  SPCR = _BV(SPE) | _BV(MSTR);  // SPI on, the Uno in charge, 4 MHz, most significant bit first

  writeAll(DISPLAY_TEST, 0);
  writeAll(DECODE_MODE, 0);
  writeAll(SCAN_LIMIT, 7);
  writeAll(INTENSITY, BRIGHTNESS);
  show();  // fill the LED registers before the display goes on
  writeAll(SHUTDOWN, 1);
}

void loop() {
  delay(STEP_MS);
  first = nextColumn(first);
  show();
}
