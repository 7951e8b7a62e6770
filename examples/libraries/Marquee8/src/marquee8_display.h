// A chain of MAX7219 8x8 LED modules on the board's hardware SPI pins, showing 8-row columns
// (bit 0 the top LED) that scroll from right to left. Shared by the marquee8 sketches.
//
// Wiring: module VCC -> 5V, GND -> GND, DIN -> MOSI, CLK -> SCK, CS -> SS
//   Uno:      DIN -> D11   CLK -> D13   CS -> D10
//   Mega 2560: DIN -> D51   CLK -> D52   CS -> D53
// No other library is needed: this talks to the MAX7219 chips itself.
#pragma once

#include <Arduino.h>

enum ModuleType { FC16, GENERIC };

// ---- Module types -----------------------------------------------------------------------------
// Boards wire their LEDs to the MAX7219 differently. Seen from the front, text upright, with the
// module wired to the board at the right-hand end of the chain (both types chain right to left):
//   FC16:    registers 1..8 are the rows top..bottom,    data bits 7..0 the columns left..right
//   GENERIC: registers 1..8 are the columns right..left, data bits 7..0 the rows top..bottom

// Column `index` of a message, wherever the message is kept (flash, EEPROM, RAM).
typedef uint8_t (*ColumnReader)(uint16_t index);

// The message column after `column`: `last` is the index of the last one, then it starts again.
inline uint16_t nextColumn(uint16_t column, uint16_t last) {
  return column == last ? 0 : column + 1;
}

template <uint8_t MODULES>
class Marquee8Display {
 public:
  explicit Marquee8Display(ModuleType type) : type_(type) {}

  // Takes the SPI pins and sets every chip up, its display still off: show() fills the LED
  // registers, then on() lights them, so that power-up garbage is never seen.
  void begin(uint8_t brightness) {
    digitalWrite(SS, HIGH);       // high before it drives the pin: a stray pulse would load
    pinMode(SS, OUTPUT);          // whatever the modules happen to hold
    pinMode(MOSI, OUTPUT);        // to DIN
    pinMode(SCK, OUTPUT);         // to CLK
    SPCR = _BV(SPE) | _BV(MSTR);  // SPI on, the board in charge, 4 MHz, most significant bit first

    writeAll(DISPLAY_TEST, 0);
    writeAll(DECODE_MODE, 0);
    writeAll(SCAN_LIMIT, 7);
    setBrightness(brightness);
  }

  void on() { writeAll(SHUTDOWN, 1); }

  // 0 (dim) to 15 (bright).
  void setBrightness(uint8_t brightness) { writeAll(INTENSITY, brightness); }

  // Shows the message from column `first` on, wrapping round to its start after column `last`.
  // Calls `between`, if given, after each of the eight register loads: work that must not wait
  // for the whole picture.
  void show(uint16_t first, uint16_t last, ColumnReader read, void (*between)() = 0) {
    uint8_t window[MODULES * 8];  // the columns on show, left to right
    uint16_t column = first;
    for (uint8_t x = 0; x < MODULES * 8; x++) {
      window[x] = read(column);
      column = nextColumn(column, last);
    }
    for (uint8_t reg = 1; reg <= 8; reg++) {
      uint8_t values[MODULES];
      for (uint8_t module = 0; module < MODULES; module++) {
        values[module] = registerValue(&window[module * 8], reg);
      }
      writeRegister(reg, values);
      if (between) between();
    }
  }

 private:
  // Registers 1 to 8 hold the LEDs; these others set the chip up (datasheet, table 2).
  static const uint8_t DECODE_MODE = 0x09;   // 0: every data bit drives one LED
  static const uint8_t INTENSITY = 0x0A;     // brightness
  static const uint8_t SCAN_LIMIT = 0x0B;    // 7: light all 8 LED registers
  static const uint8_t SHUTDOWN = 0x0C;      // 1: display on (it powers up off)
  static const uint8_t DISPLAY_TEST = 0x0F;  // 0: normal (1 lights every LED)

  // Sends one byte out of MOSI, clocked on SCK, and waits until the SPI hardware has sent it.
  static void spiSend(uint8_t value) {
    SPDR = value;
    loop_until_bit_is_set(SPSR, SPIF);
  }

  // Sets register `reg` of every module, values[0] for the leftmost. Each module takes a 16-bit
  // word, register then value; every new word pushes the earlier ones on down the chain, so the
  // first word sent ends up in the far (leftmost) module. All modules act when CS goes high.
  static void writeRegister(uint8_t reg, const uint8_t values[]) {
    digitalWrite(SS, LOW);
    for (uint8_t module = 0; module < MODULES; module++) {
      spiSend(reg);
      spiSend(values[module]);
    }
    digitalWrite(SS, HIGH);
  }

  // Sets register `reg` of every module to the same value.
  static void writeAll(uint8_t reg, uint8_t value) {
    uint8_t values[MODULES];
    for (uint8_t module = 0; module < MODULES; module++) values[module] = value;
    writeRegister(reg, values);
  }

  // What register `reg` (1..8) of a module holds to show its 8 columns, columns[0] the leftmost.
  // Masks that move one place a step, not `1 << n`: the AVR shifts one place an instruction, and
  // this runs 32 times a frame while the EEPROM waits for its next byte.
  uint8_t registerValue(const uint8_t columns[], uint8_t reg) const {
    uint8_t value = 0;
    if (type_ == FC16) {  // register: a row; bit 7 its leftmost LED
      uint8_t row = 1 << (reg - 1);
      for (uint8_t bit = 0x80, column = 0; bit; bit >>= 1, column++) {
        if (columns[column] & row) value |= bit;
      }
    } else {  // register: a column counted from the right; bit 7 its top LED
      uint8_t column = columns[8 - reg];
      for (uint8_t bit = 0x80, row = 1; bit; bit >>= 1, row <<= 1) {
        if (column & row) value |= bit;
      }
    }
    return value;
  }

  ModuleType type_;
};
