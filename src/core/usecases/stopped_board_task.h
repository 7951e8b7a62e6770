#pragma once

#include <string_view>

namespace marquee8 {

// What a board task stopped part way (a Cancel, a failure) leaves on the board, as every front
// end words it.
inline constexpr std::string_view kStoppedSendLeaves = "the board keeps its previous message";
inline constexpr std::string_view kStoppedWiringLeaves = "the board keeps its wiring as it was";
inline constexpr std::string_view kStoppedInstallLeaves =
    "the board may hold only part of the receiver";

}  // namespace marquee8
