#include <avr/pgmspace.h>
// Read with pgm_read_byte(&a[i]): the array stays in flash.
const uint8_t a[] PROGMEM = {
  0, 0, 0, 0, 0, 0, 0, 0, 127, 8, 8, 8, 127, 0, 127, 73,
  73, 73, 65, 0, 127, 64, 64, 64, 64, 0, 127, 64, 64, 64, 64, 0,
  62, 65, 65, 65, 62, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
  0, 0, 0, 0, 0, 0, 0
};
const uint16_t slen = 70;
