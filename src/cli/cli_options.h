#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bootloader_boards.h"
#include "decode.h"
#include "font_settings.h"
#include "module_wiring.h"
#include "output_settings.h"
#include "setting_ranges.h"

namespace marquee8 {

// A command line that cannot be run; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What one run does, chosen once by at most one command option; without one, TEXT is
// converted. --help and --version print and exit whatever else is given.
enum class Command {
  kConvert,
  kDecode,
  kSend,
  kReceive,
  kInstallReceiver,
  kConfigure,
  kFindWiring,
  kListFonts,
  kListPorts,
  kHelp,
  kVersion
};

struct CliOptions {
  Command command = Command::kConvert;
  std::optional<std::string> operand;   // the TEXT, or with --decode the FILE
  std::optional<std::string> output;    // -o FILE
  std::string port;                     // with --send, --receive and --install-receiver
  BoardModel board = BoardModel::kUno;  // with --install-receiver
  FontSettings font;                    // how a TEXT is drawn
  ArraySource source;                   // with --decode: which array the FILE holds, and how
  OutputSettings settings;
  bool lead_in_given = false;  // with --lead-out: the preview shows the leads too
  bool lead_out_given = false;
  bool preview = false;
  int step_ms = kStepRange.fallback;  // with --send: the board's column step
  int brightness = kBrightnessRange.fallback;
  // With --configure, what changes; the board keeps the rest. --modules goes with
  // --find-wiring too.
  std::optional<int> wiring;
  std::optional<int> modules;
  std::optional<bool> first_module_left;
};

inline constexpr std::string_view kUsage =
    "Usage: marquee8 [OPTION]... [TEXT]\n"
    "  or:  marquee8 --decode [OPTION]... [FILE]\n"
    "  or:  marquee8 --send=PORT [OPTION]... [TEXT]\n"
    "  or:  marquee8 --receive=PORT [OPTION]...\n"
    "  or:  marquee8 --install-receiver=PORT [--board=BOARD]\n"
    "  or:  marquee8 --configure=PORT [--wiring=NAME] [--modules=N] [--first-module=END]\n"
    "  or:  marquee8 --find-wiring=PORT [--modules=N]\n"
    "  or:  marquee8 --list-fonts | --list-ports | --help | --version\n";
// What --help prints after the usage lines.
std::string help_text();

// Throws UsageError for an unknown option, a missing or malformed value, two commands, an
// option or operand the command does not take, or output settings that cannot be written.
// With --decode and --receive the leads are 0 unless given: the array read holds its own.
CliOptions parse_options(const std::vector<std::string>& arguments);

}  // namespace marquee8
