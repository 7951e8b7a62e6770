/* The marquee8 board link: how a computer stores a message of LED columns in a receiver
 * sketch's EEPROM over a serial port. Plain C, included by the sketch and by the host; the
 * frames and every command are described in docs/protocol.md.
 *
 * Every frame, either way: START, TYPE, LENGTH, LENGTH bytes of payload, then the CRC of TYPE,
 * LENGTH and the payload, low byte first. Numbers in payloads are little-endian. */
#ifndef MARQUEE8_PROTOCOL_H
#define MARQUEE8_PROTOCOL_H

#include <stdint.h>

/* Raised for any change a host of an earlier version could misread. */
#define MARQUEE8_PROTOCOL_VERSION 2

#define MARQUEE8_BAUD 115200
#define MARQUEE8_FRAME_START 0xA5
/* START, TYPE, LENGTH and the two CRC bytes around the payload. */
#define MARQUEE8_FRAME_OVERHEAD 5
/* A whole frame fits the 63 bytes an Uno's 64-byte serial ring buffer holds, so a frame waits
 * there intact while the sketch is busy writing EEPROM or the LEDs. */
#define MARQUEE8_MAX_PAYLOAD 58
/* WRITE_DATA and DATA carry the offset (2 bytes) and up to this many columns. */
#define MARQUEE8_CHUNK_COLUMNS 56

/* The board drops a frame whose next byte is this late, and answers ERROR_FRAME. */
#define MARQUEE8_BYTE_TIMEOUT_MS 50
/* Before any ERROR the board waits until nothing has come for this long, scrolling meanwhile. */
#define MARQUEE8_QUIET_MS 5

/* Commands, host to board. */
#define MARQUEE8_HELLO 0x01       /* no payload; answered by INFO */
#define MARQUEE8_WRITE_BEGIN 0x02 /* columns (2), step ms (2), brightness (1), CRC (2); OK */
#define MARQUEE8_WRITE_DATA 0x03  /* offset (2), 1..56 columns; OK */
#define MARQUEE8_WRITE_END 0x04   /* no payload; INFO once the new message is stored */
#define MARQUEE8_READ 0x05        /* offset (2), count (1, 1..56); DATA */
/* Since version 2. */
#define MARQUEE8_CONFIGURE 0x06    /* wiring (1), first module's end (1), modules (1); INFO */
#define MARQUEE8_TEST_PATTERN 0x07 /* seconds (1, 1..60); OK */

/* Replies, board to host. */
#define MARQUEE8_OK 0x80
#define MARQUEE8_INFO 0x81  /* also sent unasked when the sketch starts: the greeting */
#define MARQUEE8_DATA 0x82  /* offset (2), the columns */
#define MARQUEE8_ERROR 0xFF /* code (1), the command it answers (1) */

/* INFO's payload. Its first byte is the version in every version of the protocol. */
#define MARQUEE8_INFO_VERSION 0       /* 1 byte */
#define MARQUEE8_INFO_BOARD 1         /* 1 byte, MARQUEE8_BOARD_... */
#define MARQUEE8_INFO_CAPACITY 2      /* 2 bytes, in columns */
#define MARQUEE8_INFO_WIRING 4        /* 1 byte, 0..7; in version 1 0 FC-16, 1 generic */
#define MARQUEE8_INFO_MODULES 5       /* 1 byte */
#define MARQUEE8_INFO_COLUMNS 6       /* 2 bytes, the stored message's; 0 when none is stored */
#define MARQUEE8_INFO_STEP_MS 8       /* 2 bytes */
#define MARQUEE8_INFO_BRIGHTNESS 10   /* 1 byte, 0..15 */
#define MARQUEE8_INFO_CRC 11          /* 2 bytes, the stored columns' CRC */
#define MARQUEE8_INFO_SIZE_V1 13      /* where version 1's INFO ends */
#define MARQUEE8_INFO_FIRST_MODULE 13 /* 1 byte, MARQUEE8_FIRST_MODULE_... */
#define MARQUEE8_INFO_MAX_MODULES 14  /* 1 byte, the most modules the board can drive */
#define MARQUEE8_INFO_SIZE 15

/* A wiring is MD_MAX72XX's three flags as one number: digits drive rows << 2 | columns
 * reversed << 1 | rows reversed. */
#define MARQUEE8_WIRING_FC16 4    /* DR1CR0RR0 */
#define MARQUEE8_WIRING_GENERIC 2 /* DR0CR1RR0 */
#define MARQUEE8_WIRINGS 8
/* Where the module wired to the board sits in the row, seen from the front. */
#define MARQUEE8_FIRST_MODULE_RIGHT 0
#define MARQUEE8_FIRST_MODULE_LEFT 1

/* What TEST_PATTERN loads into registers 1..8 of the module wired to the board, the others
 * dark: an F, upright on FC16 modules, and in another of its eight turns and mirror images on
 * each other wiring. */
static const uint8_t marquee8_test_pattern[8] = {0xFF, 0x80, 0x80, 0xF8, 0x80, 0x80, 0x80, 0x80};

#define MARQUEE8_BOARD_OTHER 0
#define MARQUEE8_BOARD_UNO 1
#define MARQUEE8_BOARD_MEGA_2560 2

/* ERROR codes. The stored message is never changed by a command that fails. */
#define MARQUEE8_ERROR_FRAME_CRC 1    /* a frame's CRC did not match: send it again */
#define MARQUEE8_ERROR_FRAME 2        /* a frame broke off, or its length was over the limit */
#define MARQUEE8_ERROR_UNKNOWN 3      /* a command this version does not have */
#define MARQUEE8_ERROR_PAYLOAD 4      /* a payload of the wrong size for its command */
#define MARQUEE8_ERROR_TOO_LONG 5     /* more columns than the capacity, or none */
#define MARQUEE8_ERROR_SETTINGS 6     /* brightness over 15 or a step of 0 ms */
#define MARQUEE8_ERROR_NOT_WRITING 7  /* WRITE_DATA or WRITE_END without WRITE_BEGIN */
#define MARQUEE8_ERROR_OFFSET 8       /* data past the end, or after a gap */
#define MARQUEE8_ERROR_INCOMPLETE 9   /* WRITE_END before every column came */
#define MARQUEE8_ERROR_MESSAGE_CRC 10 /* the columns stored do not have the CRC announced */
#define MARQUEE8_ERROR_READ_RANGE 11  /* READ past the stored message */
#define MARQUEE8_ERROR_VALUE 12       /* a wiring, end, module count or time out of range */

/* CRC-16/CCITT-FALSE (polynomial 0x1021, start 0xFFFF), for frames and whole messages. */
#define MARQUEE8_CRC_START 0xFFFF
static inline uint16_t marquee8_crc_add(uint16_t crc, uint8_t byte) {
  uint8_t bit;
  crc ^= (uint16_t)(byte << 8);
  for (bit = 0; bit < 8; bit++) {
    crc = (crc & 0x8000) ? (uint16_t)((crc << 1) ^ 0x1021) : (uint16_t)(crc << 1);
  }
  return crc;
}

#endif
