// The window's Board → Send to Board… driven as a user drives it, offscreen, against the receiver
// on a simulated Uno: the chain then scrolls exactly the array the window shows; Cancel leaves
// the old message; the window stays responsive throughout, as its event loop keeps running
// while the board works.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>

#include "expected_array.h"
#include "main_window.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "send_to_board_dialog.h"
#include "temporary_directory.h"
#include "window_driving.h"

namespace marquee8::testing {
namespace {

struct WindowSend {
  MainWindow window;
  SendToBoardDialog* dialog = nullptr;

  // Types `text`, presses Start, opens Board → Send to Board… and picks `port`.
  WindowSend(const QString& text, const std::string& port) {
    window.show();
    find<QLineEdit>(&window, "txtinput")->setText(text);
    QTest::mouseClick(find<QPushButton>(&window, "Command1"), Qt::LeftButton);
    find<QAction>(&window, "actionSendToBoard")->trigger();
    dialog = find<SendToBoardDialog>(&window, "sendToBoardDialog");
    find<QComboBox>(dialog, "portList")->setEditText(QString::fromStdString(port));
  }
  QString status() const { return window.statusBar()->currentMessage(); }
};

TEST(WindowSendToBoard, SendsTheShownArrayAndTheChainScrollsIt) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  FrameRecorder recorder(board, ModuleType::kFc16);
  const std::string port = board.open_serial_port();
  WindowSend user(QStringLiteral("HELLO"), port);
  QTest::mouseClick(find<QPushButton>(user.dialog, "sendButton"), Qt::LeftButton);
  run_both(board, [&] { return !user.status().isEmpty(); });

  // The window's default leads: 8 before the text, none after.
  OutputSettings window_settings;
  const std::vector<unsigned> array = expected_array("HELLO", window_settings);
  EXPECT_EQ(user.status(),
            QString::fromStdString("sent " + std::to_string(array.size()) + " columns to " + port +
                                   " (Arduino Uno, capacity 500 columns), verified"));
  const Recording scrolled = recorder.record([&](const std::vector<Frame>& frames) {
    return frames.size() == array.size() + 2 || !scrolls(frames, array);
  });
  EXPECT_TRUE(scrolls(scrolled.frames, array));
  EXPECT_EQ(scrolled.frames.size(), array.size() + 2);

  // The port is remembered for the next time.
  find<QAction>(&user.window, "actionSendToBoard")->trigger();
  auto* again = user.window.findChildren<SendToBoardDialog*>().last();
  EXPECT_EQ(find<QComboBox>(again, "portList")->currentText(), QString::fromStdString(port));
}

TEST(WindowSendToBoard, CancelLeavesTheOldMessage) {
  SimulatedBoard board(firmware_for(Board::kUno), Board::kUno, &old_message_eeprom(Board::kUno));
  const std::string port = board.open_serial_port();
  WindowSend user(QStringLiteral("A LONGER NEW MESSAGE"), port);
  QTest::mouseClick(find<QPushButton>(user.dialog, "sendButton"), Qt::LeftButton);
  auto* progress = find<QProgressBar>(user.dialog, "sendProgress");
  run_both(board, [&] { return progress->value() > 0; });
  // The README's picture of the dialog, mid-send, when asked for.
  if (const char* picture = std::getenv("MARQUEE8_DIALOG_PICTURE")) {
    user.dialog->grab().save(QString::fromLocal8Bit(picture));
  }
  QTest::mouseClick(find<QPushButton>(user.dialog, "cancelButton"), Qt::LeftButton);
  run_both(board, [&] { return !user.status().isEmpty(); });

  EXPECT_EQ(user.status(), QStringLiteral("Cancelled; the board keeps its previous message."));
  EXPECT_TRUE(
      shows_from_start(power_up(Board::kUno, board.eeprom(), 3).frames, message_array("OLD")));
}

// Whether marquee8 has asked the board to begin a write.
bool write_begun(const SimulatedBoard& board) {
  const std::vector<SerialInput>& input = board.serial_input();
  for (std::size_t at = 0; at + 1 < input.size(); ++at) {
    if (input[at].byte == MARQUEE8_FRAME_START && input[at + 1].byte == MARQUEE8_WRITE_BEGIN) {
      return true;
    }
  }
  return false;
}

struct Stop {
  std::string name;
  bool quit;  // Ctrl+Q rather than Cancel
};
void PrintTo(const Stop& row, std::ostream* out) { *out << row.name; }

class StopASend : public ::testing::TestWithParam<Stop> {};

// While the board answers with damaged frames that never pause, Cancel and Ctrl+Q end the send
// at once: the link asks whether to go on ten times a second whatever the line carries.
TEST_P(StopASend, TakesEffectAtOnce) {
  const TemporaryDirectory folder;
  SimulatedBoard board(build_receiver(folder.path(), kEndlessDamagedStream), Board::kUno,
                       &old_message_eeprom(Board::kUno));
  const std::string port = board.open_serial_port();
  std::optional<WindowSend> user(std::in_place, QStringLiteral("NEW"), port);
  QTest::mouseClick(find<QPushButton>(user->dialog, "sendButton"), Qt::LeftButton);
  run_both(board, [&] { return write_begun(board); });
  board.run_until(board.simulated_seconds() + 0.2);

  if (GetParam().quit) {
    // The desktops' Quit keys; the offscreen platform has none.
    find<QAction>(&user->window, "actionQuit")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QApplication::setActiveWindow(user->dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(user->dialog));
  }
  const auto pressed = std::chrono::steady_clock::now();
  if (GetParam().quit) {
    QTest::keyClick(user->dialog, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(user->window.isVisible());
    user.reset();  // what the program does once its window has closed
  } else {
    QTest::mouseClick(find<QPushButton>(user->dialog, "cancelButton"), Qt::LeftButton);
    run_both(board, [&] { return !user->status().isEmpty(); });
    EXPECT_EQ(user->status(), QStringLiteral("Cancelled; the board keeps its previous message."));
  }
  // The link asks ten times a second; the rest is a loaded machine's margin. Without the asking
  // the send goes on as long as the stream does.
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, std::chrono::seconds(10));
  EXPECT_TRUE(
      shows_from_start(power_up(Board::kUno, board.eeprom(), 3).frames, message_array("OLD")));
}

INSTANTIATE_TEST_SUITE_P(Stops, StopASend,
                         ::testing::Values(Stop{"cancel", false}, Stop{"ctrl_q", true}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace marquee8::testing
