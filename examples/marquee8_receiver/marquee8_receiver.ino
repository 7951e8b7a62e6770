// Scrolls the message marquee8 last sent over USB across a chain of MAX7219 8x8 LED modules, on
// an Arduino Uno or Mega 2560. Flash it once; from then on a new message needs no rebuild:
//   marquee8 --send=/dev/ttyACM0 "HELLO"
// The message is kept in EEPROM, so it comes back after a power cut. Until one is sent, the
// board scrolls "waiting for a message", from waiting.h, which this command writes:
//   marquee8 -f progmem --lead-out=32 --name=waiting --length-name=waitingLast
//            "waiting for a message" -o waiting.h
//
// Wiring and module types: see marquee8_display.h in the Marquee8 library
// (examples/libraries/Marquee8; copy it into your sketchbook's libraries folder once). The
// settings below are defaults: marquee8 --configure tells the board its modules' wiring and
// count, which it keeps in EEPROM.
// The serial protocol is in marquee8_protocol.h and docs/protocol.md.

#include <marquee8_display.h>
#include <marquee8_eeprom.h>
#include <marquee8_protocol.h>

#include "waiting.h"

// ---- Settings ---------------------------------------------------------------------------------

const ModuleType MODULE_TYPE = FC16;  // FC16, GENERIC, ...: "Module wirings" in marquee8_display.h
const uint8_t MODULES = 4;            // how many 8x8 modules are chained
const uint8_t MAX_MODULES = 16;       // the most marquee8 --configure may set
const uint16_t STEP_MS = 40;          // the waiting text's step, in ms; a message brings its own
const uint8_t BRIGHTNESS = 2;         // the waiting text's brightness, 0 (dim) to 15 (bright)

// ---- The EEPROM -------------------------------------------------------------------------------
// Two slots, each half of the EEPROM (1 KB on an Uno, 4 KB on a Mega). A new message goes into
// the slot not on show, and counts only once its last byte, the slot's marker, is written: a
// power cut before that leaves the old message on show, after it the new one. Of two valid
// slots the one with the later sequence number wins. While the board is idle it erases the slot
// not on show, marker first, so that the next message is written at the fast write-alone rate.
// Columns are kept inverted: a column with no LED lit, as text has between its letters, in its
// spaces and its lead-in, is then an erased byte and takes no time to write. A slot that a
// receiver before this one wrote holds its columns as they are, and is marked so.
const uint16_t SLOT_SIZE = (E2END + 1) / 2;
const uint16_t MARKER = 0;    // VALID once the slot holds a whole, checked message
const uint16_t SEQUENCE = 1;  // one more than the message it replaced, wrapping round
const uint16_t COLUMNS = 2;   // how many columns, 1..CAPACITY
const uint16_t STEP = 4;      // the column step, in ms
const uint16_t LIGHT = 6;     // the brightness, 0..15
const uint16_t CRC = 7;       // the columns' CRC
const uint16_t LAYOUT = 9;    // the wiring, kept apart from the message: see below
const uint8_t LAYOUT_SIZE = 3;
const uint16_t HEADER_SIZE = 12;
const uint16_t CAPACITY = SLOT_SIZE - HEADER_SIZE;
const uint8_t VALID = 0x4E;
const uint8_t VALID_NOT_INVERTED = 0x4D;

#if defined(ARDUINO_AVR_MEGA2560)
const uint8_t BOARD = MARQUEE8_BOARD_MEGA_2560;
#elif defined(ARDUINO_AVR_UNO)
const uint8_t BOARD = MARQUEE8_BOARD_UNO;
#else
const uint8_t BOARD = MARQUEE8_BOARD_OTHER;
#endif

uint16_t readWord(uint16_t address) { return eeprom_read_word((const uint16_t*)address); }

uint8_t slotColumn(uint16_t slot, uint16_t index, bool inverted) {
  uint8_t kept = eepromRead(slot + HEADER_SIZE + index);
  return inverted ? ~kept : kept;
}

uint16_t columnsCrc(uint16_t slot, uint16_t columns, bool inverted) {
  uint16_t crc = MARQUEE8_CRC_START;
  for (uint16_t i = 0; i < columns; i++) crc = marquee8_crc_add(crc, slotColumn(slot, i, inverted));
  return crc;
}

bool slotValid(uint16_t slot) {
  uint16_t columns = readWord(slot + COLUMNS);
  uint8_t marker = eepromRead(slot + MARKER);
  return (marker == VALID || marker == VALID_NOT_INVERTED) && columns >= 1 && columns <= CAPACITY &&
         readWord(slot + STEP) > 0 && eepromRead(slot + LIGHT) <= 15 &&
         columnsCrc(slot, columns, marker == VALID) == readWord(slot + CRC);
}

// ---- The wiring -------------------------------------------------------------------------------
// Kept in each slot's last 3 header bytes, which a message never writes and the idle erase
// skips: one byte (wiring << 5 | enters left << 4 | modules - 1), then its CRC. Slot 0's copy
// is written first and read first, so a power cut while it is written leaves slot 1's, the old
// one, and while slot 1's is written, slot 0's, the new one. A copy that fails its CRC, as the
// bytes an earlier receiver left there do, counts as none; with neither the settings above hold.
Marquee8Display<MAX_MODULES> display(MODULE_TYPE, MODULES);
uint8_t layout = MODULE_TYPE << 5 | (MODULES - 1);

uint16_t layoutCrc(uint8_t packed) {
  return marquee8_crc_add(marquee8_crc_add(MARQUEE8_CRC_START, 'W'), packed);
}
uint8_t layoutWiring() { return layout >> 5; }
bool layoutEntersLeft() { return layout & 0x10; }
uint8_t layoutModules() { return (layout & 0x0F) + 1; }

bool readLayout(uint16_t slot) {
  uint8_t packed = eepromRead(slot + LAYOUT);
  if (readWord(slot + LAYOUT + 1) != layoutCrc(packed)) return false;
  layout = packed;
  return true;
}

void useLayout() {
  display.setWiring((ModuleType)layoutWiring(), layoutModules(), layoutEntersLeft());
}

void loadLayout() {
  if (!readLayout(0)) readLayout(SLOT_SIZE);
  useLayout();
}

void writeLayout() {
  for (uint16_t slot = 0; slot <= SLOT_SIZE; slot += SLOT_SIZE) {
    eepromStart(slot + LAYOUT, layout);
    eepromWriteWord(slot + LAYOUT + 1, layoutCrc(layout));
  }
}

bool keepsLayout(uint16_t address) {
  uint16_t inSlot = address % SLOT_SIZE;
  return inSlot >= LAYOUT && inSlot < LAYOUT + LAYOUT_SIZE;
}

// ---- What is on show --------------------------------------------------------------------------

bool stored = false;     // a message from EEPROM, or the waiting text
uint16_t shownSlot = 0;  // the slot on show, when stored
uint16_t last = waitingLast;
uint16_t stepMs = STEP_MS;
uint16_t first = 0;  // the message column shown at the left edge
unsigned long stepStart = 0;

bool shownInverted = true;
uint8_t storedColumn(uint16_t index) { return slotColumn(shownSlot, index, shownInverted); }
uint8_t waitingColumn(uint16_t index) { return pgm_read_byte(&waiting[index]); }

void showFromStart() {
  uint8_t brightness = BRIGHTNESS;
  if (stored) {
    last = readWord(shownSlot + COLUMNS) - 1;
    stepMs = readWord(shownSlot + STEP);
    brightness = eepromRead(shownSlot + LIGHT);
  } else {
    last = waitingLast;
    stepMs = STEP_MS;
  }
  first = 0;
  display.setBrightness(brightness);
  display.show(first, last, stored ? storedColumn : waitingColumn);
  stepStart = millis();
}

void chooseSlot() {
  bool valid0 = slotValid(0), valid1 = slotValid(SLOT_SIZE);
  stored = valid0 || valid1;
  shownSlot = 0;
  if (valid1 &&
      (!valid0 || (int8_t)(eepromRead(SLOT_SIZE + SEQUENCE) - eepromRead(SEQUENCE)) > 0)) {
    shownSlot = SLOT_SIZE;
  }
  shownInverted = eepromRead(shownSlot + MARKER) == VALID;
}

// ---- EEPROM work between the loop's other jobs ----------------------------------------------
// A byte is started whenever the chip is free, so the display keeps scrolling meanwhile.

// A chunk of columns on its way into the EEPROM. Until it is written the sketch takes no frame:
// the next one waits in the serial buffer, which holds a whole frame.
uint8_t chunk[MARQUEE8_CHUNK_COLUMNS];
uint16_t chunkAddress;
uint8_t chunkCount = 0, chunkWritten = 0;
// The part of the slot not on show still to be erased.
uint16_t eraseNext = 0, eraseEnd = 0;
// A host reads a new message back at once: an erase beside it would make every read wait for
// the chip, so the erase waits until the reads have stopped for this long.
const unsigned long READ_BACK_PAUSE_MS = 200;
unsigned long lastRead = 0;
bool reading = false;

bool writingChunk() { return chunkWritten < chunkCount; }

bool erasePaused() {
  if (reading && millis() - lastRead < READ_BACK_PAUSE_MS) return true;
  reading = false;
  return false;
}

void eraseSlot(uint16_t slot) {
  eraseNext = slot;
  eraseEnd = slot + SLOT_SIZE;
}

void pauseEraseForReads() {
  reading = true;
  lastRead = millis();
}

void eepromWork() {
  while (!eepromBusy()) {
    if (writingChunk()) {
      eepromStart(chunkAddress + chunkWritten, chunk[chunkWritten]);
      chunkWritten++;
    } else if (eraseNext < eraseEnd && !erasePaused()) {
      if (!keepsLayout(eraseNext)) eepromStart(eraseNext, 0xFF);
      eraseNext++;
    } else {
      return;
    }
  }
}

// The slot a new message goes into.
uint16_t spareSlot() { return stored && shownSlot == 0 ? SLOT_SIZE : 0; }

// ---- The serial link --------------------------------------------------------------------------

uint8_t frame[MARQUEE8_FRAME_OVERHEAD + MARQUEE8_MAX_PAYLOAD];
uint8_t received = 0;  // bytes of `frame` so far
unsigned long lastByte = 0;
// An ERROR waits until nothing has come for 5 ms, so that what is left of a broken frame is not
// read as the start of the next one. The display keeps scrolling meanwhile, however long the
// line stays busy.
bool errorDue = false;
uint8_t error[2];  // its code, and the command it answers

// The message being written: where, and what WRITE_BEGIN announced.
bool writing = false;
uint16_t newSlot, newColumns, newStep, newCrc, newReceived;
uint8_t newBrightness;

uint16_t getWord(const uint8_t* bytes) { return bytes[0] | (uint16_t)bytes[1] << 8; }
void putWord(uint8_t* bytes, uint16_t value) {
  bytes[0] = value & 0xFF;
  bytes[1] = value >> 8;
}

void sendFrame(uint8_t type, const uint8_t* payload, uint8_t length) {
  uint16_t crc = marquee8_crc_add(marquee8_crc_add(MARQUEE8_CRC_START, type), length);
  for (uint8_t i = 0; i < length; i++) crc = marquee8_crc_add(crc, payload[i]);
  Serial.write(MARQUEE8_FRAME_START);
  Serial.write(type);
  Serial.write(length);
  Serial.write(payload, length);
  Serial.write(crc & 0xFF);
  Serial.write(crc >> 8);
}

void sendOk() { sendFrame(MARQUEE8_OK, 0, 0); }

// Answers `command` with `code` once the line has gone quiet.
void sendError(uint8_t code, uint8_t command) {
  error[0] = code;
  error[1] = command;
  errorDue = true;
  lastByte = millis();
}

// Drops what comes in until the line has been quiet long enough, then sends the ERROR due;
// returns whether it is still due.
bool errorStillDue() {
  while (Serial.available()) {
    Serial.read();
    lastByte = millis();
  }
  if (millis() - lastByte < MARQUEE8_QUIET_MS) return true;
  errorDue = false;
  sendFrame(MARQUEE8_ERROR, error, sizeof error);
  return false;
}

void sendInfo() {
  uint8_t info[MARQUEE8_INFO_SIZE];
  info[MARQUEE8_INFO_VERSION] = MARQUEE8_PROTOCOL_VERSION;
  info[MARQUEE8_INFO_BOARD] = BOARD;
  putWord(&info[MARQUEE8_INFO_CAPACITY], CAPACITY);
  info[MARQUEE8_INFO_WIRING] = layoutWiring();
  info[MARQUEE8_INFO_MODULES] = layoutModules();
  info[MARQUEE8_INFO_FIRST_MODULE] = layoutEntersLeft();
  info[MARQUEE8_INFO_MAX_MODULES] = MAX_MODULES;
  putWord(&info[MARQUEE8_INFO_COLUMNS], stored ? last + 1 : 0);
  putWord(&info[MARQUEE8_INFO_STEP_MS], stepMs);
  info[MARQUEE8_INFO_BRIGHTNESS] = stored ? eepromRead(shownSlot + LIGHT) : BRIGHTNESS;
  putWord(&info[MARQUEE8_INFO_CRC], stored ? readWord(shownSlot + CRC) : 0);
  sendFrame(MARQUEE8_INFO, info, sizeof info);
}

void beginWrite(const uint8_t* payload) {
  uint16_t columns = getWord(payload), step = getWord(payload + 2);
  uint8_t brightness = payload[4];
  if (columns == 0 || columns > CAPACITY) return sendError(MARQUEE8_ERROR_TOO_LONG, frame[1]);
  if (step == 0 || brightness > 15) return sendError(MARQUEE8_ERROR_SETTINGS, frame[1]);
  newSlot = spareSlot();
  eraseNext = eraseEnd;                 // what is still to erase is erased as it is written
  eepromStart(newSlot + MARKER, 0xFF);  // the slot holds the message before last: no loss
  newColumns = columns;
  newStep = step;
  newBrightness = brightness;
  newCrc = getWord(payload + 5);
  newReceived = 0;
  writing = true;
  sendOk();
}

void writeData(const uint8_t* payload, uint8_t length) {
  uint16_t offset = getWord(payload);
  uint8_t count = length - 2;
  if (offset > newReceived || offset + count > newColumns) {
    return sendError(MARQUEE8_ERROR_OFFSET, frame[1]);
  }
  for (uint8_t i = 0; i < count; i++) chunk[i] = ~payload[2 + i];
  chunkAddress = newSlot + HEADER_SIZE + offset;
  chunkCount = count;
  chunkWritten = 0;
  if (offset + count > newReceived) newReceived = offset + count;
  sendOk();
}

// Checks the columns as the EEPROM now holds them, and only then makes the slot count.
void endWrite() {
  if (newReceived != newColumns) return sendError(MARQUEE8_ERROR_INCOMPLETE, frame[1]);
  writing = false;
  if (columnsCrc(newSlot, newColumns, true) != newCrc) {
    eraseSlot(newSlot);
    return sendError(MARQUEE8_ERROR_MESSAGE_CRC, frame[1]);
  }
  uint8_t sequence = stored ? eepromRead(shownSlot + SEQUENCE) + 1 : 0;
  eepromStart(newSlot + SEQUENCE, sequence);
  eepromWriteWord(newSlot + COLUMNS, newColumns);
  eepromWriteWord(newSlot + STEP, newStep);
  eepromStart(newSlot + LIGHT, newBrightness);
  eepromWriteWord(newSlot + CRC, newCrc);
  eepromStart(newSlot + MARKER, VALID);
  stored = true;
  shownSlot = newSlot;
  shownInverted = true;
  eraseSlot(spareSlot());
  pauseEraseForReads();
  showFromStart();
  sendInfo();
}

void readBack(const uint8_t* payload) {
  uint16_t offset = getWord(payload);
  uint8_t count = payload[2];
  uint16_t columns = stored ? last + 1 : 0;
  if (count == 0 || count > MARQUEE8_CHUNK_COLUMNS || offset >= columns ||
      count > columns - offset) {
    return sendError(MARQUEE8_ERROR_READ_RANGE, frame[1]);
  }
  pauseEraseForReads();
  uint8_t data[2 + MARQUEE8_CHUNK_COLUMNS];
  putWord(data, offset);
  for (uint8_t i = 0; i < count; i++) data[2 + i] = storedColumn(offset + i);
  sendFrame(MARQUEE8_DATA, data, 2 + count);
}

// The board's new wiring, shown at once (the chips a longer chain adds set up first), then kept.
void configure(const uint8_t* payload) {
  uint8_t wiring = payload[0], end = payload[1], modules = payload[2];
  if (wiring >= MARQUEE8_WIRINGS || end > MARQUEE8_FIRST_MODULE_LEFT || modules == 0 ||
      modules > MAX_MODULES) {
    return sendError(MARQUEE8_ERROR_VALUE, frame[1]);
  }
  layout = wiring << 5 | end << 4 | (modules - 1);
  useLayout();
  display.begin(BRIGHTNESS);
  showFromStart();
  display.on();
  writeLayout();
  sendInfo();
}

// The test pattern, on show until the next command or for `seconds`.
bool showingPattern = false;
unsigned long patternStart, patternMs;

void showPattern(const uint8_t* payload) {
  if (payload[0] == 0 || payload[0] > 60) return sendError(MARQUEE8_ERROR_VALUE, frame[1]);
  showingPattern = true;
  patternStart = millis();
  patternMs = payload[0] * 1000UL;
  display.showOnFirstModule(marquee8_test_pattern);
  sendOk();
}

void endPattern() {
  showingPattern = false;
  showFromStart();
}

// The payload's size each command needs, or -1 for a command this version does not have.
int payloadSize(uint8_t command, uint8_t length) {
  switch (command) {
    case MARQUEE8_HELLO:
    case MARQUEE8_WRITE_END:
      return 0;
    case MARQUEE8_WRITE_BEGIN:
      return 7;
    case MARQUEE8_WRITE_DATA:
      return length >= 3 && length <= 2 + MARQUEE8_CHUNK_COLUMNS ? length : 3;
    case MARQUEE8_READ:
    case MARQUEE8_CONFIGURE:
      return 3;
    case MARQUEE8_TEST_PATTERN:
      return 1;
  }
  return -1;
}

void handleFrame() {
  uint8_t command = frame[1], length = frame[2];
  const uint8_t* payload = &frame[3];
  uint16_t crc = MARQUEE8_CRC_START;
  for (uint8_t i = 1; i < 3 + length; i++) crc = marquee8_crc_add(crc, frame[i]);
  if (crc != getWord(&frame[3 + length])) return sendError(MARQUEE8_ERROR_FRAME_CRC, command);
  int size = payloadSize(command, length);
  if (size < 0) return sendError(MARQUEE8_ERROR_UNKNOWN, command);
  if (size != length) return sendError(MARQUEE8_ERROR_PAYLOAD, command);
  if ((command == MARQUEE8_WRITE_DATA || command == MARQUEE8_WRITE_END) && !writing) {
    return sendError(MARQUEE8_ERROR_NOT_WRITING, command);
  }
  if (showingPattern) endPattern();
  switch (command) {
    case MARQUEE8_HELLO:
      return sendInfo();
    case MARQUEE8_CONFIGURE:
      return configure(payload);
    case MARQUEE8_TEST_PATTERN:
      return showPattern(payload);
    case MARQUEE8_WRITE_BEGIN:
      return beginWrite(payload);
    case MARQUEE8_WRITE_DATA:
      return writeData(payload, length);
    case MARQUEE8_WRITE_END:
      return endWrite();
    case MARQUEE8_READ:
      return readBack(payload);
  }
}

// Takes what has come in; a frame is handled once it is whole.
void pollSerial() {
  if (errorDue && errorStillDue()) return;
  while (Serial.available()) {
    uint8_t byte = Serial.read();
    lastByte = millis();
    if (received == 0 && byte != MARQUEE8_FRAME_START) continue;  // between frames: noise
    frame[received++] = byte;
    if (received == 3 && frame[2] > MARQUEE8_MAX_PAYLOAD) {
      received = 0;
      return sendError(MARQUEE8_ERROR_FRAME, frame[1]);
    }
    if (received > 2 && received == MARQUEE8_FRAME_OVERHEAD + frame[2]) {
      received = 0;
      return handleFrame();
    }
  }
  if (received > 0 && millis() - lastByte > MARQUEE8_BYTE_TIMEOUT_MS) {
    received = 0;
    sendError(MARQUEE8_ERROR_FRAME, frame[1]);
  }
}

void setup() {
  Serial.begin(MARQUEE8_BAUD);
  chooseSlot();
  loadLayout();
  eraseSlot(spareSlot());
  display.begin(BRIGHTNESS);
  showFromStart();  // fill the LED registers before the display goes on
  display.on();
  sendInfo();  // the greeting, which a host waits for after opening the port resets us
}

void loop() {
  if (!writingChunk()) pollSerial();
  eepromWork();
  if (showingPattern) {
    if (millis() - patternStart >= patternMs) endPattern();
  } else if (millis() - stepStart >= stepMs) {
    stepStart += stepMs;
    if (millis() - stepStart >= stepMs) stepStart = millis();  // behind after an EEPROM write
    first = nextColumn(first, last);
    display.show(first, last, stored ? storedColumn : waitingColumn, eepromWork);
  }
}
