// The board link's protocol driven through a scripted line on a clock of its own: every wait,
// retry and resync, with no port and no simulator.
#include "link_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link_error.h"
#include "marquee8_protocol.h"
#include "scripted_line.h"

namespace marquee8 {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
std::vector<std::uint8_t> damaged(std::vector<std::uint8_t> frame) {
  frame.back() ^= 0x10;
  return frame;
}

const std::vector<std::uint8_t> kMessage = [] {
  std::vector<std::uint8_t> columns(130);
  for (std::size_t i = 0; i < columns.size(); ++i) columns[i] = static_cast<std::uint8_t>(i * 7);
  return columns;
}();

struct Case {
  const char* name;
  Trouble trouble;
  std::string failure;                      // "" when the store succeeds
  std::map<std::uint8_t, int> frames_sent;  // of the types listed
  bool new_message_stored = true;
};
void PrintTo(const Case& row, std::ostream* out) { *out << row.name; }

// The `nth` frame of `type` (every one, for -1) meets `reply`.
Trouble on(std::uint8_t type, int nth, std::vector<std::uint8_t> reply) {
  return [=](const Frame& sent, int n,
             const std::vector<std::uint8_t>&) -> std::optional<std::vector<std::uint8_t>> {
    if (sent.type == type && (nth < 0 || n == nth)) return reply;
    return std::nullopt;
  };
}
constexpr int kEvery = -1;

class Store : public ::testing::TestWithParam<Case> {};

TEST_P(Store, EndsAsTheLineAllows) {
  const Case& row = GetParam();
  Line line;
  line.trouble = row.trouble;
  LinkSession session = line.open();
  session.store({kMessage, 40, 2});
  if (row.failure.empty()) {
    line.drive(session);
    EXPECT_EQ(session.info().columns, kMessage.size());
  } else {
    try {
      line.drive(session);
      ADD_FAILURE() << "the store did not fail";
    } catch (const LinkError& failure) {
      EXPECT_THAT(failure.what(), HasSubstr(row.failure));
    }
  }
  EXPECT_EQ(line.board.stored == kMessage, row.new_message_stored);
  for (const auto& [type, count] : row.frames_sent) {
    EXPECT_EQ(line.sent[type], count) << "frames of type " << int{type};
  }
}

const std::vector<std::uint8_t> kOk = encode_frame(MARQUEE8_OK, {});

INSTANTIATE_TEST_SUITE_P(
    Lines, Store,
    ::testing::Values(
        Case{"a_clean_line", {}, "", {{MARQUEE8_WRITE_DATA, 3}, {MARQUEE8_WRITE_END, 1}}},
        Case{"noise_before_the_answer_is_skipped",
             [](const Frame& sent, int n, const std::vector<std::uint8_t>& answer)
                 -> std::optional<std::vector<std::uint8_t>> {
               if (sent.type != MARQUEE8_WRITE_DATA || n != 1) return std::nullopt;
               std::vector<std::uint8_t> noisy{0x00, 0x13, 0xFF};
               noisy.insert(noisy.end(), answer.begin(), answer.end());
               return noisy;
             },
             "",
             {{MARQUEE8_WRITE_DATA, 3}}},
        Case{"a_damaged_answer_asks_again",
             on(MARQUEE8_WRITE_DATA, 1, damaged(kOk)),
             "",
             {{MARQUEE8_WRITE_DATA, 4}}},
        Case{"the_board_saw_a_frame_damaged",
             on(MARQUEE8_WRITE_DATA, 0, refusal(MARQUEE8_ERROR_FRAME_CRC, MARQUEE8_WRITE_DATA)),
             "",
             {{MARQUEE8_WRITE_DATA, 4}}},
        Case{"an_answer_that_breaks_off",
             on(MARQUEE8_WRITE_BEGIN, 0, {kOk.begin(), kOk.end() - 2}),
             "",
             {{MARQUEE8_WRITE_BEGIN, 2}}},
        Case{"a_board_that_greets_twice",
             on(MARQUEE8_WRITE_BEGIN, 0,
                [] {
                  std::vector<std::uint8_t> twice = Receiver{}.info();
                  twice.insert(twice.end(), kOk.begin(), kOk.end());
                  return twice;
                }()),
             "",
             {{MARQUEE8_WRITE_BEGIN, 1}}},
        Case{"three_tries_used_up",
             on(MARQUEE8_WRITE_DATA, kEvery, damaged(kOk)),
             "kept arriving damaged (3 tries)",
             {{MARQUEE8_WRITE_DATA, 3}},
             false},
        Case{"a_board_that_stops_answering",
             on(MARQUEE8_WRITE_DATA, kEvery, {}),
             "stopped answering",
             {{MARQUEE8_WRITE_DATA, 3}},
             false},
        Case{"a_refusal_is_not_sent_again",
             on(MARQUEE8_WRITE_BEGIN, 0, refusal(MARQUEE8_ERROR_SETTINGS, MARQUEE8_WRITE_BEGIN)),
             "refused the message",
             {{MARQUEE8_WRITE_BEGIN, 1}},
             false},
        // The board stored the message and its answer was lost: WRITE_END again is refused, as
        // nothing is being written, and HELLO asks what the board holds.
        Case{"a_lost_answer_to_write_end",
             on(MARQUEE8_WRITE_END, 0, {}),
             "",
             {{MARQUEE8_WRITE_END, 2}, {MARQUEE8_HELLO, 1}}},
        Case{"an_unreadable_answer_to_write_end",
             on(MARQUEE8_WRITE_END, 0, encode_frame(MARQUEE8_INFO, std::vector<std::uint8_t>(5))),
             "",
             {{MARQUEE8_WRITE_END, 1}, {MARQUEE8_HELLO, 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Neither WRITE_END nor HELLO answered: the board may show either message, and says so.
TEST(Store, AnUnansweredStoreIsUnknown) {
  Line line;
  line.trouble = [](const Frame& sent, int,
                    const std::vector<std::uint8_t>&) -> std::optional<std::vector<std::uint8_t>> {
    if (sent.type == MARQUEE8_WRITE_END || sent.type == MARQUEE8_HELLO) {
      return std::vector<std::uint8_t>{};
    }
    return std::nullopt;
  };
  LinkSession session = line.open();
  session.store({kMessage, 40, 2});
  EXPECT_THROW(line.drive(session), StoreUnknown);
  EXPECT_TRUE(session.committed());
}

// The greeting: a board that does not reset is asked; one that never answers is named after
// the 3 s it was given.
TEST(Greeting, ABoardThatDoesNotResetIsAskedAndNothingIsWaitedForInVain) {
  Line asked;
  asked.greets = false;
  const LinkSession session = asked.open();
  EXPECT_EQ(session.info().columns, 3u);
  EXPECT_EQ(asked.sent[MARQUEE8_HELLO], 1);

  Line silent;
  silent.greets = false;
  silent.trouble = on(MARQUEE8_HELLO, kEvery, {});
  const Clock::time_point opened = silent.now;
  EXPECT_THAT([&] { silent.open(); }, ::testing::ThrowsMessage<LinkError>(HasSubstr("within 3 s")));
  EXPECT_LT(silent.now - opened, 3100ms);
  EXPECT_EQ(silent.sent[MARQUEE8_HELLO], 3);  // at 1.5, 2 and 2.5 s
}

// Reading back: a column read wrong once is read again; twice, the EEPROM is failing.
TEST(Read, ChecksWhatItReadsAgainstTheBoardsCrc) {
  for (const int wrong_reads : {0, 1, 2}) {
    Line line;
    line.board.stored = kMessage;
    line.trouble =
        [wrong_reads](
            const Frame& sent, int nth,
            const std::vector<std::uint8_t>& answer) -> std::optional<std::vector<std::uint8_t>> {
      // Each read of 130 columns takes three READs.
      if (sent.type != MARQUEE8_READ || nth % 3 != 0 || nth / 3 >= wrong_reads) return std::nullopt;
      std::vector<std::uint8_t> payload{answer.begin() + 3, answer.end() - 2};
      payload[2] ^= 1;
      return encode_frame(MARQUEE8_DATA, payload);
    };
    LinkSession session = line.open();
    session.read();
    if (wrong_reads < 2) {
      line.drive(session);
      EXPECT_EQ(session.message(), kMessage) << wrong_reads;
    } else {
      EXPECT_THAT([&] { line.drive(session); },
                  ::testing::ThrowsMessage<LinkError>(HasSubstr("EEPROM may be failing")));
    }
  }
}

}  // namespace
}  // namespace marquee8
