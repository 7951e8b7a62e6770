// The EEPROM of an ATmega328P or ATmega2560, a byte at a time, in the quickest way each byte
// allows. The chips erase a byte and write it in one go in 3.4 ms, but can also erase it alone
// (to 0xFF) or write it alone in 1.8 ms; a write alone can only clear bits, so it suits a byte
// erased before (datasheets, "EECR: EEPM1 and EEPM0"). eepromStart() starts a byte and returns
// while the chip works, so a sketch can scroll its display meanwhile.
#pragma once

#include <avr/eeprom.h>
#include <avr/interrupt.h>
#include <avr/io.h>

inline bool eepromBusy() { return bit_is_set(EECR, EEPE); }

// Waits for a byte being programmed, then reads.
inline uint8_t eepromRead(uint16_t address) { return eeprom_read_byte((const uint8_t*)address); }

// Starts programming the byte at `address` with `value` in `mode` (EEPM1 and EEPM0 as EECR
// takes them), once the byte before it is done.
inline void eepromProgram(uint16_t address, uint8_t value, uint8_t mode) {
  eeprom_busy_wait();
  EEAR = address;
  EEDR = value;
  uint8_t sreg = SREG;
  cli();
  // EEPE counts only within four cycles of EEMPE: one instruction each.
  asm volatile("out %[eecr], %[armed]\n\tsbi %[eecr], %[eepe]"
               :
               : [eecr] "I"(_SFR_IO_ADDR(EECR)), [armed] "r"((uint8_t)(mode | _BV(EEMPE))),
                 [eepe] "I"(EEPE));
  SREG = sreg;
}

// Starts making the byte at `address` hold `value` in the quickest mode its old value allows;
// false, starting nothing, if it holds it already.
inline bool eepromStart(uint16_t address, uint8_t value) {
  uint8_t old = eepromRead(address);
  if (old == value) return false;
  eepromProgram(address, value,
                (old & value) == value ? _BV(EEPM1)  // write alone
                : value == 0xFF        ? _BV(EEPM0)  // erase alone
                                       : 0);                // erase and write
  return true;
}

inline void eepromWriteWord(uint16_t address, uint16_t value) {
  eepromStart(address, value & 0xFF);
  eepromStart(address + 1, value >> 8);
}
