#pragma once

#include <QApplication>
#include <memory>

namespace marquee8 {

// Starts Qt's window system. Where it cannot start (no display, or one that cannot be reached)
// this prints one line saying so and ends the program with status 1, instead of Qt's plugin
// diagnostics and an abort.
std::unique_ptr<QApplication> start_window_system(int& argc, char** argv);

}  // namespace marquee8
