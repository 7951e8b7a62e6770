#pragma once

// A receiver as docs/protocol.md describes it on a scripted line with a clock of its own: the
// board link's protocol driven with no port and no simulator.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frames.h"
#include "link_session.h"
#include "marquee8_protocol.h"

namespace marquee8 {

using namespace std::chrono_literals;
using Clock = LinkSession::Clock;

const std::string kPort = "/dev/ttyTEST";

inline std::vector<std::uint8_t> refusal(std::uint8_t code, std::uint8_t command) {
  return encode_frame(MARQUEE8_ERROR, std::vector<std::uint8_t>{code, command});
}

// A receiver as docs/protocol.md describes it, answering each frame at once.
struct Receiver {
  std::vector<std::uint8_t> stored = std::vector<std::uint8_t>(3, 0x2A);  // the old message
  std::vector<std::uint8_t> writing;
  bool is_writing = false;
  std::uint16_t crc = 0;
  // A version 1 receiver's INFO is shorter, and it knows no CONFIGURE.
  int version = MARQUEE8_PROTOCOL_VERSION;
  std::vector<std::uint8_t> layout{MARQUEE8_WIRING_FC16, MARQUEE8_FIRST_MODULE_RIGHT, 4};

  std::vector<std::uint8_t> info() const {
    std::vector<std::uint8_t> payload(version == 1 ? MARQUEE8_INFO_SIZE_V1 : MARQUEE8_INFO_SIZE, 0);
    payload[MARQUEE8_INFO_VERSION] = static_cast<std::uint8_t>(version);
    payload[MARQUEE8_INFO_MODULES] = layout[2];
    if (version == 1) {
      payload[MARQUEE8_INFO_WIRING] = 1;  // generic
    } else {
      payload[MARQUEE8_INFO_WIRING] = layout[0];
      payload[MARQUEE8_INFO_FIRST_MODULE] = layout[1];
      payload[MARQUEE8_INFO_MAX_MODULES] = 16;
    }
    payload[MARQUEE8_INFO_CAPACITY] = 0xF4;  // 500
    payload[MARQUEE8_INFO_CAPACITY + 1] = 0x01;
    payload[MARQUEE8_INFO_COLUMNS] = static_cast<std::uint8_t>(stored.size());
    payload[MARQUEE8_INFO_STEP_MS] = 40;
    payload[MARQUEE8_INFO_BRIGHTNESS] = 2;
    const std::uint16_t stored_crc = message_crc(stored);
    payload[MARQUEE8_INFO_CRC] = static_cast<std::uint8_t>(stored_crc & 0xFF);
    payload[MARQUEE8_INFO_CRC + 1] = static_cast<std::uint8_t>(stored_crc >> 8);
    return encode_frame(MARQUEE8_INFO, payload);
  }

  std::vector<std::uint8_t> answer(const Frame& frame) {
    const std::vector<std::uint8_t>& p = frame.payload;
    switch (frame.type) {
      case MARQUEE8_WRITE_BEGIN:
        writing.assign(static_cast<std::size_t>(p[0] | p[1] << 8), 0);
        is_writing = true;
        crc = static_cast<std::uint16_t>(p[5] | p[6] << 8);
        return encode_frame(MARQUEE8_OK, {});
      case MARQUEE8_WRITE_DATA:
        if (!is_writing) return refusal(MARQUEE8_ERROR_NOT_WRITING, frame.type);
        std::copy(p.begin() + 2, p.end(), writing.begin() + (p[0] | p[1] << 8));
        return encode_frame(MARQUEE8_OK, {});
      case MARQUEE8_WRITE_END:
        if (!is_writing) return refusal(MARQUEE8_ERROR_NOT_WRITING, frame.type);
        is_writing = false;
        if (message_crc(writing) == crc) stored = writing;
        return info();
      case MARQUEE8_READ: {
        const std::size_t at = p[0] | p[1] << 8;
        std::vector<std::uint8_t> data{p[0], p[1]};
        data.insert(data.end(), stored.begin() + static_cast<std::ptrdiff_t>(at),
                    stored.begin() + static_cast<std::ptrdiff_t>(at + p[2]));
        return encode_frame(MARQUEE8_DATA, data);
      }
      case MARQUEE8_CONFIGURE:
        if (version == 1) return refusal(MARQUEE8_ERROR_UNKNOWN, frame.type);
        layout = p;
        return info();
      case MARQUEE8_TEST_PATTERN:
        return encode_frame(MARQUEE8_OK, {});
      default:
        return info();
    }
  }
};

// What the line does with the n-th frame of each type the computer sends (from 0): the bytes
// that come back instead of the receiver's answer, or nullopt for the answer itself.
using Trouble = std::function<std::optional<std::vector<std::uint8_t>>(
    const Frame& sent, int nth, const std::vector<std::uint8_t>& answer)>;

struct Line {
  Receiver board;
  Trouble trouble;
  bool greets = true;
  std::map<std::uint8_t, int> sent;  // frames sent, by type
  Clock::time_point now{};

  // Runs the session's (or a BoardTask's) task until it ends; returns the time it took.
  template <typename Session>
  Clock::duration drive(Session& session) {
    const Clock::time_point started = now;
    std::vector<std::uint8_t> arrived;
    FrameReader from_computer;
    for (;;) {
      const LinkStep step = session.advance(arrived, now);
      arrived.clear();
      from_computer.add(step.send);
      while (std::optional<Frame> frame = from_computer.next().frame) {
        const int nth = sent[frame->type]++;
        const std::vector<std::uint8_t> answer = board.answer(*frame);
        std::optional<std::vector<std::uint8_t>> instead;
        if (trouble) instead = trouble(*frame, nth, answer);
        const std::vector<std::uint8_t>& reply = instead ? *instead : answer;
        arrived.insert(arrived.end(), reply.begin(), reply.end());
      }
      if (step.finished) return now - started;
      if (arrived.empty()) now = step.wake;
      now += 1ms;  // the answer's way back, or a moment past the wake
    }
  }

  LinkSession open() {
    LinkSession session(kPort, now);
    std::vector<std::uint8_t> greeting;
    if (greets) greeting = board.info();
    now += 1s;  // the bootloader's wait after the reset
    if (!greeting.empty()) {
      const LinkStep step = session.advance(greeting, now);
      EXPECT_TRUE(step.finished);
    } else {
      drive(session);
    }
    return session;
  }
};

}  // namespace marquee8
