#pragma once

// Driving the window offscreen beside a simulated board, as a user would.

#include <QApplication>
#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

#include "simulated_board.h"

namespace marquee8::testing {

// The widget named `name` under `parent`; throws if there is none.
template <typename Widget>
Widget* find(QObject* parent, const char* name) {
  auto* found = parent->findChild<Widget*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::runtime_error(std::string("no ") + name);
  return found;
}

// Runs the board and the window's event loop together until `done`, or a minute at most.
inline void run_both(SimulatedBoard& board, const std::function<bool()>& done) {
  for (int slice = 0; slice < 30'000 && !done(); ++slice) {
    QApplication::processEvents();
    board.run_until(board.simulated_seconds() + 0.002);
  }
}

}  // namespace marquee8::testing
