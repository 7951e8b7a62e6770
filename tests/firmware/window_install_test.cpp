// The window's Board → Install Receiver… driven as a user drives it, offscreen, against a
// simulated board carrying its genuine bootloader. The window's event loop runs throughout while
// the install runs on its own thread; each install ends in the core's words, and whatever the
// first install did, the right one after it leaves a receiver that greets and keeps the message
// the board stored.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include "bootloaders.h"
#include "frames.h"
#include "install_receiver_dialog.h"
#include "main_window.h"
#include "marquee8_protocol.h"
#include "receiver_support.h"
#include "replies.h"
#include "window_driving.h"

// Failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace marquee8::testing {
namespace {

// The last greeting (an INFO frame) in what the board sent, read as a host reads it.
std::optional<BoardInfo> last_greeting(const std::vector<std::uint8_t>& sent) {
  FrameReader reader;
  reader.add(sent);
  std::optional<BoardInfo> info;
  for (FrameReader::Result next = reader.next(); next.frame || next.damaged; next = reader.next()) {
    if (next.frame && next.frame->type == MARQUEE8_INFO) info = read_info(next.frame->payload, "");
  }
  return info;
}

// `words` with each PORT in it replaced by `port`.
QString with_port(std::string words, const std::string& port) {
  for (auto at = words.find("PORT"); at != std::string::npos; at = words.find("PORT", at)) {
    words.replace(at, 4, port);
  }
  return QString::fromStdString(words);
}

const char* const kInstalled =
    "the receiver is on the Arduino Uno on PORT, written and read back. Next: set the modules' "
    "wiring once with Board → Wiring…, then type the message, press Start, and send it with "
    "Board → Send to Board….";

struct InstallRow {
  const char* name;
  bool holds_message;  // the board stores "OLD"
  BoardModel chosen;   // the first install's board; an Uno is plugged in
  bool cancel;         // Cancel is pressed once a page is written
  bool writes;         // whether the first install changes the flash
  const char* words;   // how the first install ends
};
void PrintTo(const InstallRow& row, std::ostream* out) { *out << row.name; }

class WindowInstall : public ::testing::TestWithParam<InstallRow> {};

TEST_P(WindowInstall, EndsInWordsAndTheRightInstallLeavesAReceiverThatGreets) {
  const InstallRow& row = GetParam();
  const std::vector<std::uint8_t>& old = old_message_eeprom(Board::kUno);
  SimulatedBoard board(bootloader_of(BoardModel::kUno), Board::kUno,
                       row.holds_message ? &old : nullptr);
  const std::vector<std::uint8_t> factory = board.flash();
  const std::vector<std::uint8_t> eeprom = board.eeprom();
  const std::string port = board.open_serial_port();
  std::vector<std::uint8_t> sent;  // by the board, since the last install began
  board.on_serial_output([&](std::uint8_t byte) { sent.push_back(byte); });

  MainWindow window;
  window.show();
  find<QAction>(&window, "actionInstallReceiver")->trigger();
  auto* dialog = find<InstallReceiverDialog>(&window, "installReceiverDialog");
  find<QComboBox>(dialog, "portList")->setEditText(QString::fromStdString(port));
  auto* boards = find<QComboBox>(dialog, "boardList");
  auto* install = find<QPushButton>(dialog, "installButton");
  auto* result = find<QLabel>(dialog, "installResult");
  const auto install_on = [&](BoardModel model) {
    boards->setCurrentIndex(boards->findData(static_cast<int>(model)));
    QTest::mouseClick(install, Qt::LeftButton);
    ASSERT_FALSE(install->isEnabled()) << "choices are locked while the install runs";
  };

  install_on(row.chosen);
  if (row.cancel) {
    auto* progress = find<QProgressBar>(dialog, "installProgress");
    run_both(board, [&] { return progress->value() > 0 || install->isEnabled(); });
    QTest::mouseClick(find<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
  }
  run_both(board, [&] { return install->isEnabled(); });
  EXPECT_EQ(result->text(), with_port(row.words, port));
  // The documentation's picture of the dialog once an install is done, when asked for.
  const char* picture = std::getenv("MARQUEE8_DIALOG_PICTURE");
  if (picture != nullptr && result->text() == with_port(kInstalled, port)) {
    dialog->grab().save(QString::fromLocal8Bit(picture));
  }
  EXPECT_EQ(window.statusBar()->currentMessage(), result->text());
  EXPECT_EQ(board.flash() != factory, row.writes);
  EXPECT_EQ(board.eeprom(), eeprom);

  if (row.chosen != BoardModel::kUno || row.cancel) {
    sent.clear();
    install_on(BoardModel::kUno);
    run_both(board, [&] { return install->isEnabled(); });
    EXPECT_EQ(result->text(), with_port(kInstalled, port));
  }
  // The bootloader, left, starts the receiver, which greets unasked.
  run_both(board, [&] { return last_greeting(sent).has_value(); });
  const std::vector<std::uint8_t> image = receiver_image(BoardModel::kUno);
  const std::vector<std::uint8_t> flash = board.flash();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  EXPECT_EQ(board.eeprom(), eeprom);
  const std::optional<BoardInfo> info = last_greeting(sent);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->columns, row.holds_message ? message_array("OLD").size() : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Installs, WindowInstall,
    ::testing::Values(
        InstallRow{"BlankUno", false, BoardModel::kUno, false, true, kInstalled},
        InstallRow{"MegaChosenForAnUno", true, BoardModel::kMega, false, false,
                   "no bootloader answered on PORT: is this an Arduino Mega 2560? press its "
                   "reset button and try again"},
        InstallRow{"CancelledDuringTheWrite", true, BoardModel::kUno, true, true,
                   "Cancelled; the board may hold only part of the receiver: install it again "
                   "before sending."}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marquee8::testing
