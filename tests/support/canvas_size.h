#pragma once

namespace marquee8::testing {

// The window's canvas, which the tests of what a Start draws draw on too.
inline constexpr int kCanvasWidth = 669;
inline constexpr int kCanvasHeight = 29;

}  // namespace marquee8::testing
