// Programs EEPROM bytes 0 to 3 in the chip's three modes, as the simulated EEPROM's test expects,
// and sends how long EEPE stayed set for each, in tenths of a millisecond.
#include <marquee8_eeprom.h>

const uint8_t MODES[4] = {0, _BV(EEPM0), _BV(EEPM1), _BV(EEPM1)};
const uint8_t VALUES[4] = {0x0F, 0x00, 0x3C, 0x5A};

void setup() {
  Serial.begin(115200);
  for (uint8_t address = 0; address < 4; address++) {
    unsigned long start = micros();
    eepromProgram(address, VALUES[address], MODES[address]);
    eeprom_busy_wait();
    Serial.write((uint8_t)((micros() - start + 50) / 100));
  }
}

void loop() {}
