// The window's Board → Install Receiver… driven as a user drives it, offscreen, against a
// simulated board carrying its genuine bootloader. The window's event loop runs throughout while
// the install runs on its own thread; each install ends in the core's words, and whatever the
// first install did, the right one after it leaves a receiver that greets and keeps the message
// the board stored.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <atomic>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "board_link.h"
#include "bootloaders.h"
#include "install_receiver_dialog.h"
#include "intel_hex.h"
#include "main_window.h"
#include "receiver_support.h"

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

// What the receiver on `port` says in its greeting, the board running meanwhile.
std::optional<BoardInfo> greeting(SimulatedBoard& board, const std::string& port) {
  std::atomic<bool> finished = false;
  std::optional<BoardInfo> info;
  std::thread hello([&] {
    try {
      info = BoardLink(port).info();
    } catch (const LinkError&) {
    }
    finished = true;
  });
  while (!finished) board.run_until(board.simulated_seconds() + 0.002);
  hello.join();
  return info;
}

std::vector<std::uint8_t> receiver_image(BoardModel model) {
  std::ifstream file(receiver_hex_of(model));
  std::ostringstream text;
  text << file.rdbuf();
  return read_intel_hex(text.str());
}

// `words` with each PORT in it replaced by `port`.
QString with_port(std::string words, const std::string& port) {
  for (auto at = words.find("PORT"); at != std::string::npos; at = words.find("PORT", at)) {
    words.replace(at, 4, port);
  }
  return QString::fromStdString(words);
}

const char* const kInstalled =
    "the receiver is on the Arduino Uno on PORT, written and read back. Next: type the message, "
    "press Start, and send it with File → Send to Board….";

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
  EXPECT_EQ(window.statusBar()->currentMessage(), result->text());
  EXPECT_EQ(board.flash() != factory, row.writes);
  EXPECT_EQ(board.eeprom(), eeprom);

  if (row.chosen != BoardModel::kUno || row.cancel) {
    install_on(BoardModel::kUno);
    run_both(board, [&] { return install->isEnabled(); });
    EXPECT_EQ(result->text(), with_port(kInstalled, port));
  }
  const std::vector<std::uint8_t> image = receiver_image(BoardModel::kUno);
  const std::vector<std::uint8_t> flash = board.flash();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
  EXPECT_EQ(board.eeprom(), eeprom);
  const std::optional<BoardInfo> info = greeting(board, port);
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
