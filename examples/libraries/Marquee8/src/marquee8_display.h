// A chain of MAX7219 8x8 LED modules on the board's hardware SPI pins, showing 8-row columns
// (bit 0 the top LED) that scroll from right to left. Shared by the marquee8 sketches.
//
// Wiring: module VCC -> 5V, GND -> GND, DIN -> MOSI, CLK -> SCK, CS -> SS
//   Uno:      DIN -> D11   CLK -> D13   CS -> D10
//   Mega 2560: DIN -> D51   CLK -> D52   CS -> D53
// No other library is needed: this talks to the MAX7219 chips itself.
#pragma once

#include <Arduino.h>

// ---- Module wirings ---------------------------------------------------------------------------
// Boards wire their LEDs to the MAX7219 in one of eight ways, named as the MD_MAX72XX library
// names them by three flags. Seen from the front, text upright, each module's row 0 is its top
// and its column 0 its right-hand one:
//   DR1: register 1 + r drives row r, data bit c column c   (DR0: the same with rows and
//        columns swapped: register 1 + c drives column c, data bit r row r)
//   CR1: columns reversed (the data bits, or with DR0 the registers, count from the other side)
//   RR1: rows reversed (likewise)
// FC16 is DR1CR0RR0, GENERIC DR0CR1RR0, PAROLA DR1CR1RR0 and ICSTATION DR1CR1RR1.
// The module wired to the board, the first in the chain, is at the right-hand end unless the
// display is told that the wire enters at the left.
enum ModuleType {
  DR0CR0RR0,
  DR0CR0RR1,
  DR0CR1RR0,
  DR0CR1RR1,
  DR1CR0RR0,
  DR1CR0RR1,
  DR1CR1RR0,
  DR1CR1RR1,
  GENERIC = DR0CR1RR0,
  FC16 = DR1CR0RR0,
  PAROLA = DR1CR1RR0,
  ICSTATION = DR1CR1RR1
};
const uint8_t WIRING_DIGITS_ROWS = 4, WIRING_COLUMNS_REVERSED = 2, WIRING_ROWS_REVERSED = 1;

// Column `index` of a message, wherever the message is kept (flash, EEPROM, RAM).
typedef uint8_t (*ColumnReader)(uint16_t index);

// The message column after `column`: `last` is the index of the last one, then it starts again.
inline uint16_t nextColumn(uint16_t column, uint16_t last) {
  return column == last ? 0 : column + 1;
}

// MAX_MODULES: the most modules the display can drive, which its buffers are sized for.
template <uint8_t MAX_MODULES>
class Marquee8Display {
 public:
  explicit Marquee8Display(ModuleType type, uint8_t modules = MAX_MODULES,
                           bool entersLeft = false) {
    setWiring(type, modules, entersLeft);
  }

  // How the modules are wired, how many (1..MAX_MODULES) are chained, and whether the wire from
  // the board enters the row at its left-hand end. Takes effect at the next show().
  void setWiring(ModuleType type, uint8_t modules, bool entersLeft) {
    type_ = type;
    modules_ = modules;
    entersLeft_ = entersLeft;
  }

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
    uint8_t window[MAX_MODULES * 8];  // the columns on show, left to right
    uint16_t column = first;
    for (uint8_t x = 0; x < modules_ * 8; x++) {
      window[x] = read(column);
      column = nextColumn(column, last);
    }
    // The row a register drives, with DR1: a mask that moves one place a register.
    const bool rowsReversed = type_ & WIRING_ROWS_REVERSED;
    uint8_t row = rowsReversed ? 0x80 : 0x01;
    for (uint8_t reg = 1; reg <= 8; reg++) {
      uint8_t values[MAX_MODULES];  // the far module's first
      for (uint8_t module = 0; module < modules_; module++) {
        const uint8_t seen = entersLeft_ ? modules_ - 1 - module : module;  // from the left
        values[module] = registerValue(&window[seen * 8], reg, row);
      }
      writeRegister(reg, values);
      row = rowsReversed ? row >> 1 : row << 1;
      if (between) between();
    }
  }

  // Loads the module wired to the board with `registers` (1..8) as they are, and darkens the
  // others: a picture that looks different on each wiring.
  void showOnFirstModule(const uint8_t registers[8]) {
    for (uint8_t reg = 1; reg <= 8; reg++) {
      uint8_t values[MAX_MODULES] = {0};
      values[modules_ - 1] = registers[reg - 1];
      writeRegister(reg, values);
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

  // Sets register `reg` of every module, values[0] for the far one. Each module takes a 16-bit
  // word, register then value; every new word pushes the earlier ones on down the chain, so the
  // first word sent ends up in the far module. All modules act when CS goes high.
  void writeRegister(uint8_t reg, const uint8_t values[]) const {
    digitalWrite(SS, LOW);
    for (uint8_t module = 0; module < modules_; module++) {
      spiSend(reg);
      spiSend(values[module]);
    }
    digitalWrite(SS, HIGH);
  }

  // Sets register `reg` of every module to the same value.
  void writeAll(uint8_t reg, uint8_t value) const {
    uint8_t values[MAX_MODULES];
    for (uint8_t module = 0; module < modules_; module++) values[module] = value;
    writeRegister(reg, values);
  }

  // What register `reg` (1..8) of a module holds to show its 8 columns, columns[0] the leftmost;
  // `row` is the row mask that register drives when digits drive rows. Masks and values move
  // one place a step, not `1 << n`: the AVR shifts one place an instruction, and this runs
  // 8 times a module a frame while the EEPROM waits for its next byte.
  uint8_t registerValue(const uint8_t columns[], uint8_t reg, uint8_t row) const {
    const bool columnsReversed = type_ & WIRING_COLUMNS_REVERSED;
    uint8_t value = 0;
    if (type_ & WIRING_DIGITS_ROWS) {  // data bit 7: the leftmost column, with CR1 the rightmost
      const uint8_t* column = columnsReversed ? columns + 7 : columns;
      const int8_t step = columnsReversed ? -1 : 1;
      for (uint8_t i = 0; i < 8; i++, column += step) {
        value <<= 1;
        if (*column & row) value |= 1;
      }
      return value;
    }
    // A register: a column counted from the right, with RR1 from the left; data bit 0 the top
    // row, with CR1 the bottom one.
    uint8_t column = columns[type_ & WIRING_ROWS_REVERSED ? reg - 1 : 8 - reg];
    if (!columnsReversed) return column;
    for (uint8_t i = 0; i < 8; i++, column >>= 1) value = (value << 1) | (column & 1);
    return value;
  }

  ModuleType type_;
  uint8_t modules_;
  bool entersLeft_;
};
