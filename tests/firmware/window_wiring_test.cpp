// The window's Board → Wiring… driven as a user drives it, offscreen, against the receiver on a
// simulated Uno whose chain is wired as the row says. The user picks the pictures that look like
// the chain's LEDs; the board then keeps the layout they give and scrolls upright. Cancel, or
// closing the dialog mid-question, puts the board back on the layout it had.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "expected_array.h"
#include "main_window.h"
#include "receiver_support.h"
#include "send_to_board_dialog.h"
#include "window_driving.h"
#include "wiring_dialog.h"
#include "wizard_answers.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace marquee8::testing {
namespace {

const char* const kNext =
    ". Next: type the message, press Start, and send it with Board → Send to Board….";

QString words(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

// The main window with Board → Wiring… open on `port`, asking for `modules`.
struct WindowWiring {
  MainWindow window;
  WiringDialog* dialog = nullptr;

  WindowWiring(const std::string& port, int modules) {
    window.show();
    find<QAction>(&window, "actionWiring")->trigger();
    dialog = find<WiringDialog>(&window, "wiringDialog");
    find<QComboBox>(dialog, "portList")->setEditText(QString::fromStdString(port));
    find<QSpinBox>(dialog, "modules")->setValue(modules);
    QTest::mouseClick(find<QPushButton>(dialog, "patternButton"), Qt::LeftButton);
  }
  QString status() const { return window.statusBar()->currentMessage(); }

  // Runs the board until the dialog puts `question`.
  void await(SimulatedBoard& board, std::string_view question) const {
    auto* label = find<QLabel>(dialog, "wiringQuestion");
    run_both(board, [&] { return label->isVisible() && label->text() == words(question); });
    ASSERT_EQ(label->text(), words(question));
    // The README's pictures of the dialog, when asked for.
    if (const char* folder = std::getenv("MARQUEE8_WIRING_PICTURES")) {
      dialog->grab().save(QStringLiteral("%1/wiring-%2.png")
                              .arg(QString::fromLocal8Bit(folder))
                              .arg(question == WiringWizard::kWiringQuestion ? 1 : 2));
    }
  }
  // Answers with picture `index` (from 0): a click, or Tab from the picture with the focus and
  // then `key`.
  void choose(int index, std::optional<Qt::Key> key) const {
    const QString name = QStringLiteral("picture%1").arg(index + 1);
    auto* picture = find<QPushButton>(dialog, name.toLatin1().constData());
    EXPECT_EQ(picture->accessibleName(), QStringLiteral("Picture %1").arg(index + 1));
    if (!key) return QTest::mouseClick(picture, Qt::LeftButton);
    QApplication::setActiveWindow(dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    ASSERT_EQ(QApplication::focusWidget(), find<QPushButton>(dialog, "picture1"));
    for (int tab = 0; tab < index; ++tab) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), picture);
    QTest::keyClick(picture, *key);
  }
};

// Whether the chain scrolls the receiver's waiting text from now on. The board runs on
// afterwards, for the window to talk to.
bool scrolls_waiting_text(SimulatedBoard& board, FrameRecorder& recorder) {
  const Recording after =
      recorder.record([](const std::vector<Frame>& frames) { return frames.size() == 30; });
  board.resume();
  EXPECT_EQ(after.fault, "");
  return scrolls(after.frames, message_array("waiting for a message"));
}

struct WizardRow {
  const char* name;
  ModuleType chain;
  std::optional<Qt::Key> key;  // answers by keyboard with this key rather than by clicks
  bool sends;                  // a message is sent afterwards
  const char* layout;          // as the board then reports it
};
void PrintTo(const WizardRow& row, std::ostream* out) { *out << row.name; }

class WiringWizardInTheWindow : public ::testing::TestWithParam<WizardRow> {};

TEST_P(WiringWizardInTheWindow, ThePicturesLikeTheLedsGiveTheChainsLayout) {
  const WizardRow& row = GetParam();
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  FrameRecorder recorder(board, row.chain);
  const std::string port = board.open_serial_port();
  WindowWiring user(port, kModules);
  const WiringWizard wizard(kModules);

  user.await(board, WiringWizard::kWiringQuestion);
  const Frame pattern = recorder.shown();
  std::size_t lit = 0;
  while (lit < kModules && module_of(pattern, lit) == LedPicture(8, std::string(8, '.'))) ++lit;
  ASSERT_LT(lit, kModules) << "the test pattern lit nothing";
  const int wiring = picked(wizard.wiring_pictures(), module_of(pattern, lit));
  ASSERT_GE(wiring, 0) << "no picture shows the lit module";
  user.choose(wiring, row.key);

  user.await(board, WiringWizard::kEndQuestion);
  const int end = picked(wizard.end_pictures(wiring), recorder.shown());
  ASSERT_GE(end, 0) << "no picture shows the row";
  user.choose(end, row.key ? std::optional(Qt::Key_Return) : std::nullopt);
  run_both(board, [&] { return !user.status().isEmpty(); });

  EXPECT_EQ(user.status(),
            QString::fromStdString("the board on " + port + " is set to " + row.layout + kNext));
  EXPECT_EQ(find<QLabel>(user.dialog, "patternResult")->text(), user.status());
  EXPECT_TRUE(scrolls_waiting_text(board, recorder));
  if (!row.sends) return;

  QTest::mouseClick(find<QPushButton>(user.dialog, "cancelButton"), Qt::LeftButton);
  find<QLineEdit>(&user.window, "txtinput")->setText(QStringLiteral("HELLO"));
  QTest::mouseClick(find<QPushButton>(&user.window, "Command1"), Qt::LeftButton);
  find<QAction>(&user.window, "actionSendToBoard")->trigger();
  auto* send = find<SendToBoardDialog>(&user.window, "sendToBoardDialog");
  find<QComboBox>(send, "portList")->setEditText(QString::fromStdString(port));
  QTest::mouseClick(find<QPushButton>(send, "sendButton"), Qt::LeftButton);
  const QString configured = user.status();
  run_both(board, [&] { return user.status() != configured; });
  ASSERT_TRUE(user.status().startsWith(QStringLiteral("sent "))) << user.status().toStdString();
  const std::vector<unsigned> array = expected_array("HELLO", OutputSettings{});
  const Recording scrolled = recorder.record([&](const std::vector<Frame>& frames) {
    return frames.size() == array.size() + 2 || !scrolls(frames, array);
  });
  EXPECT_TRUE(scrolls(scrolled.frames, array));
  EXPECT_EQ(scrolled.frames.size(), array.size() + 2);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, WiringWizardInTheWindow,
    ::testing::Values(WizardRow{"generic_by_keyboard", ModuleType::kGeneric, Qt::Key_Space, false,
                                "GENERIC (DR0CR1RR0), 4 modules, the first at the right"},
                      WizardRow{"icstation_first_left_then_sent", ModuleType{7, true}, std::nullopt,
                                true, "ICSTATION (DR1CR1RR1), 4 modules, the first at the left"},
                      WizardRow{"dr0cr0rr1_first_left", ModuleType{1, true}, std::nullopt, false,
                                "DR0CR0RR1, 4 modules, the first at the left"},
                      WizardRow{"fc16_first_right", ModuleType::kFc16, std::nullopt, false,
                                "FC16 (DR1CR0RR0), 4 modules, the first at the right"}),
    [](const auto& info) { return std::string(info.param.name); });

struct StopRow {
  const char* name;
  int modules;  // chosen in the dialog; the board has 4
  bool second;  // stopped at the second question rather than the first
  bool closes;  // the dialog's window closed rather than Cancel pressed
};
void PrintTo(const StopRow& row, std::ostream* out) { *out << row.name; }

class StopTheWizard : public ::testing::TestWithParam<StopRow> {};

TEST_P(StopTheWizard, PutsTheBoardBackOnItsLayout) {
  const StopRow& row = GetParam();
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno);
  FrameRecorder recorder(board, ModuleType::kFc16);
  const std::string port = board.open_serial_port();
  WindowWiring user(port, row.modules);
  user.await(board, WiringWizard::kWiringQuestion);
  if (row.second) {
    user.choose(kFc16Wiring, std::nullopt);
    user.await(board, WiringWizard::kEndQuestion);
  }
  if (row.closes) {
    user.dialog->close();
  } else {
    QTest::mouseClick(find<QPushButton>(user.dialog, "cancelButton"), Qt::LeftButton);
  }
  run_both(board, [&] { return !user.status().isEmpty(); });

  EXPECT_EQ(user.status(), QStringLiteral("Cancelled; the board is back on FC16 (DR1CR0RR0), 4 "
                                          "modules, the first at the right."));
  EXPECT_TRUE(user.window.findChildren<WiringDialog*>().isEmpty() ||
              !user.window.findChild<WiringDialog*>()->isVisible());
  // A chain told another count shows no proper picture; told its own again, it scrolls at once.
  if (row.modules == kModules) {
    EXPECT_TRUE(scrolls_waiting_text(board, recorder));
  }
  // The board keeps its layout through a power cut too.
  EXPECT_TRUE(shows_from_start(power_up(Board::kUno, board.eeprom(), 30).frames,
                               message_array("waiting for a message")));
}

INSTANTIATE_TEST_SUITE_P(
    Stops, StopTheWizard,
    ::testing::Values(StopRow{"cancel_at_the_first_question", 4, false, false},
                      StopRow{"close_at_the_second_question_after_a_new_count", 2, true, true},
                      StopRow{"cancel_at_the_second_question", 4, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BoardMenu, ListsTheStepsInTheirOrder) {
  MainWindow window;
  auto* wiring = find<QAction>(&window, "actionWiring");
  QStringList names;
  const auto* board = qobject_cast<QMenu*>(wiring->associatedObjects().first());
  ASSERT_NE(board, nullptr);
  for (const QAction* action : board->actions()) names.append(action->objectName());
  EXPECT_EQ(names, (QStringList{"actionInstallReceiver", "actionWiring", "actionSendToBoard"}));
}

}  // namespace
}  // namespace marquee8::testing
