// The modules' wiring: its names as MD_MAX72XX users know them, a version 1 board met by this
// version's link, and the wizard's pictures telling the wirings apart.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "link_error.h"
#include "module_wiring.h"
#include "scripted_line.h"
#include "wiring_wizard.h"

namespace marquee8 {
namespace {

using ::testing::HasSubstr;

struct Named {
  std::string name;
  std::optional<int> wiring;  // DR << 2 | CR << 1 | RR, as MD_MAX72XX's flags say
};
void PrintTo(const Named& row, std::ostream* out) { *out << '"' << row.name << '"'; }

class WiringNames : public ::testing::TestWithParam<Named> {};

TEST_P(WiringNames, AreMdMax72xxsInAnyCase) {
  EXPECT_EQ(parse_wiring(GetParam().name), GetParam().wiring);
}

// MD_MAX72XX: FC16_HW is DR1CR0RR0, GENERIC_HW DR0CR1RR0, PAROLA_HW DR1CR1RR0, ICSTATION_HW
// DR1CR1RR1.
INSTANTIATE_TEST_SUITE_P(Names, WiringNames,
                         ::testing::Values(Named{"FC16", 4}, Named{"fc16", 4}, Named{"Generic", 2},
                                           Named{"PAROLA", 6}, Named{"icstation", 7},
                                           Named{"DR0CR0RR0", 0}, Named{"dr0cr0rr1", 1},
                                           Named{"DR0CR1RR1", 3}, Named{"DR1CR0RR1", 5},
                                           Named{"DR1CR1RR1", 7}, Named{"FC-16", std::nullopt},
                                           Named{"DR2CR0RR0", std::nullopt},
                                           Named{"fc16 ", std::nullopt}, Named{"", std::nullopt}));

// Every answer must mean one wiring: no two pictures alike. FC16, the commonest, shows the F
// upright.
TEST(WiringWizardPictures, TellEveryWiringAndEitherEndApart) {
  const WiringWizard wizard(3);
  const std::vector<LedPicture> pictures = wizard.wiring_pictures();
  EXPECT_EQ(std::set<LedPicture>(pictures.begin(), pictures.end()).size(), 8U);
  EXPECT_EQ(pictures[kFc16Wiring], (LedPicture{"########", "#.......", "#.......", "#####...",
                                               "#.......", "#.......", "#.......", "#......."}));
  const std::vector<LedPicture> ends = wizard.end_pictures(kFc16Wiring);
  ASSERT_EQ(ends.size(), 2U);
  EXPECT_EQ(ends[0][3], "................#####...");
  EXPECT_EQ(ends[1][3], "#####...................");
  EXPECT_EQ(wizard.layout(6, 1), (ModuleLayout{6, true, 3}));
  EXPECT_FALSE(WiringWizard(1).asks_end());
}

TEST(VersionOneBoard, StillTakesAMessageAndReadsItBack) {
  Line line;
  line.board.version = 1;
  LinkSession session = line.open();
  EXPECT_EQ(session.info().protocol, 1);
  EXPECT_EQ(session.info().layout, (ModuleLayout{kGenericWiring, false, 4}));
  const std::vector<std::uint8_t> message{1, 2, 3, 4, 5};
  session.store({message, 40, 2});
  line.drive(session);
  EXPECT_EQ(line.board.stored, message);
  session.read();
  line.drive(session);
  EXPECT_EQ(session.message(), message);
}

TEST(VersionOneBoard, CannotBeConfiguredAndIsToldSoBeforeAnythingIsSent) {
  Line line;
  line.board.version = 1;
  LinkSession session = line.open();
  for (const bool pattern : {false, true}) {
    try {
      if (pattern) {
        session.show_test_pattern(5);
      } else {
        session.configure({kFc16Wiring, false, 4});
      }
      ADD_FAILURE() << "a version 1 board was asked";
    } catch (const LinkError& error) {
      EXPECT_THAT(error.what(),
                  HasSubstr("install the receiver again (marquee8 --install-receiver=" + kPort));
    }
  }
  EXPECT_EQ(line.sent[MARQUEE8_CONFIGURE] + line.sent[MARQUEE8_TEST_PATTERN], 0);
}

TEST(VersionTwoBoard, IsConfiguredAndSaysSo) {
  Line line;
  LinkSession session = line.open();
  session.configure({6, true, 9});
  line.drive(session);
  EXPECT_EQ(line.board.layout, (std::vector<std::uint8_t>{6, 1, 9}));
  EXPECT_EQ(session.info().layout, (ModuleLayout{6, true, 9}));
  EXPECT_THROW(session.configure({6, true, 17}), LinkError);  // the board drives 16
  EXPECT_EQ(line.sent[MARQUEE8_CONFIGURE], 1);
}

struct ReportedLayout {
  std::uint8_t wiring, first_module, modules, max_modules;
};
void PrintTo(const ReportedLayout& row, std::ostream* out) {
  *out << int(row.wiring) << "/" << int(row.first_module) << "/" << int(row.modules) << " of "
       << int(row.max_modules);
}

std::vector<std::uint8_t> version_two_info(const ReportedLayout& row) {
  std::vector<std::uint8_t> info(MARQUEE8_INFO_SIZE);
  info[MARQUEE8_INFO_VERSION] = MARQUEE8_PROTOCOL_VERSION;
  info[MARQUEE8_INFO_WIRING] = row.wiring;
  info[MARQUEE8_INFO_FIRST_MODULE] = row.first_module;
  info[MARQUEE8_INFO_MODULES] = row.modules;
  info[MARQUEE8_INFO_MAX_MODULES] = row.max_modules;
  return info;
}

class ImpossibleLayout : public ::testing::TestWithParam<ReportedLayout> {};

// Taken as some other layout, it would be configured back onto the board by the wizard.
TEST_P(ImpossibleLayout, IsRefusedNotReadAsAnother) {
  const std::vector<std::uint8_t> info = version_two_info(GetParam());
  EXPECT_THAT([&] { read_info(info, kPort); },
              ::testing::ThrowsMessage<LinkError>(HasSubstr("install the receiver again")));
}

INSTANTIATE_TEST_SUITE_P(Reported, ImpossibleLayout,
                         ::testing::Values(ReportedLayout{8, 0, 4, 16},
                                           ReportedLayout{255, 0, 4, 16},
                                           ReportedLayout{4, 2, 4, 16}, ReportedLayout{4, 0, 0, 16},
                                           ReportedLayout{4, 0, 17, 16}));

TEST(PossibleLayout, IsReadAsTheBoardSaysIt) {
  EXPECT_EQ(read_info(version_two_info({7, MARQUEE8_FIRST_MODULE_LEFT, 16, 16}), kPort).layout,
            (ModuleLayout{7, true, 16}));
}

}  // namespace
}  // namespace marquee8
