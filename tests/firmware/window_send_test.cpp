// The window's File → Send to Board… driven as a user drives it, offscreen, against the receiver
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
#include <cstdlib>
#include <functional>

#include "expected_array.h"
#include "main_window.h"
#include "receiver_support.h"
#include "send_to_board_dialog.h"

namespace marquee8::testing {
namespace {

template <typename Widget>
Widget* find(QObject* parent, const char* name) {
  auto* found = parent->findChild<Widget*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::runtime_error(std::string("no ") + name);
  return found;
}

// Runs the board and the window's event loop together until `done`, or a minute at most.
void run_both(SimulatedBoard& board, const std::function<bool()>& done) {
  for (int slice = 0; slice < 30'000 && !done(); ++slice) {
    QApplication::processEvents();
    board.run_until(board.simulated_seconds() + 0.002);
  }
}

struct WindowSend {
  MainWindow window;
  SendToBoardDialog* dialog = nullptr;

  // Types `text`, presses Start, opens File → Send to Board… and picks `port`.
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

}  // namespace
}  // namespace marquee8::testing
