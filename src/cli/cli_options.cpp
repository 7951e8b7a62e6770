#include "cli_options.h"

#include <getopt.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "decode.h"
#include "fonts.h"
#include "output_formats.h"
#include "settings_problem.h"

namespace marquee8 {

namespace {

constexpr std::string_view kHelpBeforeFormats =
    R"(Draw TEXT in the 8-pixel LED font and print the C declarations an 8-row LED
marquee scrolls: byte a[]={...}; with one byte per pixel column (eight zeros
first; bit 0 is the top row, bit 7 the bottom one) and int slen=...;
With no TEXT, read one line of UTF-8 from standard input; when standard input
is a terminal, convert "825710".

Commands (one at most; without one, TEXT is converted):
  -d, --decode         read an array from FILE (standard input without one or
                         with -) and write it again with the output options:
                         any array marquee8 writes, or a C or Python file
                         holding one byte array among other code
      --send=PORT      store TEXT's columns, leads included, on the marquee8
                         receiver sketch on serial port PORT, read them back
                         and compare; the board keeps them through power cuts
      --receive=PORT   write the message the receiver on PORT stores
      --install-receiver=PORT  put the receiver sketch on the board on PORT
                         through its bootloader and read it back; the message
                         the board stores is kept
      --configure=PORT  tell the receiver on PORT how its LED modules are
                         wired and laid out (the options below); it keeps
                         that through power cuts
      --find-wiring=PORT  show a test pattern on the board on PORT, ask what
                         it looks like (two questions at most) and configure
                         the wiring the answers give
      --list-fonts     list the fonts --font can use with their sizes
      --list-ports     list the serial ports with their USB description
  -h, --help           show this help
  -V, --version        show the version

Input options, how TEXT is drawn (converting, and with --send):
      --font=FONT      builtin (default), a font file (BDF, PCF, PCF.gz, OTB,
                         TTF, OTF) or an installed family; always monochrome
      --size=PX        the font's size: its whole line height in pixels,
                         ascent and descent, so an 8-row font is often 10 to
                         12 pixels; a bitmap font offers a few (--list-fonts),
                         an outline font any from {size}; default a bitmap
                         font's tallest that fits 8 rows, an outline font's
                         largest whose printable ASCII fits 8 rows
      --spacing=HOW    cell (default): 6 columns per character, as the
                         classic output counts; font: each glyph's own width
      --offset=ROWS    move the text down ROWS rows (up when negative) from
                         where capitals start on row 1; {offset}

Input options, the array read (with --decode):
      --input-msb-top  the array has bit 7 as its top row (default bit 0)
      --name=NAME      of a file holding several byte arrays, read NAME;
                         the array is written with this name too

Output options (converting, --decode and --receive; not --send):
  -o, --output=FILE    write to FILE, replacing it only once all is written
  -p, --preview        print the 8 rows as '#' (lit) and '.' (dark) instead
)";

constexpr std::string_view kHelpAfterFormats =
    R"(      --hex            write the values as 0x00 to 0xFF
      --msb-top        write bit 7 as the top row, bit 0 as the bottom one
      --lead-in=N      N blank columns before the text (default {lead-in:default}; with
                         --decode and --receive 0: the array has its own);
                         with --send too
      --lead-out=N     N blank columns after it (default {lead-out:default}); 32 lets the text
                         leave a chain of four 8x8 modules; with --send too
      --name=NAME      the array's name (default a)
      --length-name=NAME  the length's name (default slen); whatever the
                         format, it holds the index of the array's last element
      --art            picture the rows as '#'/'.' comments above the array

Board options (with --send):
      --step=MS        the board moves one column every MS milliseconds,
                         {step} (default {step:default})
      --brightness=N   the LEDs' brightness, {brightness} (default {brightness:default})

Module options (with --configure; --modules with --find-wiring too):
      --wiring=NAME    how the modules' LEDs are wired, as MD_MAX72XX names it:
                         FC16, GENERIC, PAROLA, ICSTATION or DR0CR0RR0 to
                         DR1CR1RR1 (any case); --find-wiring finds it
      --modules=N      how many 8x8 modules are chained, {modules}
      --first-module=END  right or left: the end of the row the module wired
                         to the board is at, seen from the front; what is not
                         given, the board keeps as it has it

Board option (with --install-receiver):
      --board=BOARD    uno (default), nano, nano-old (a Nano with the old
                         bootloader, at 57600 baud) or mega (a Mega 2560)

An option a command does not take is a usage error, as are two commands.
-o replaces FILE with a new file: a hard link to the old one keeps the old
contents, as with sed -i.

Examples:
  $ marquee8 HELLO > message.h
  $ marquee8 -f progmem --lead-out=32 -o message.h 'Hello, world'
  $ marquee8 --font=Fixed --spacing=font -p Hello
  $ marquee8 -d --msb-top old.h > flipped.h
  $ marquee8 -d --input-msb-top -f c --name=frame old.ino
  $ marquee8 --send=/dev/ttyACM0 --step=30 'OPEN 9-5'
  $ marquee8 --receive=/dev/ttyACM0 -p
  $ marquee8 --install-receiver=/dev/ttyUSB0 --board=nano
  $ marquee8 --configure=/dev/ttyACM0 --wiring=generic --modules=8
  $ marquee8 --find-wiring=/dev/ttyACM0

Exit status: 0 on success, 1 on bad input or a failed read or write, 2 on a
usage error.
)";

enum LongOnly : int {
  kHex = 256,
  kMsbTop,
  kInputMsbTop,
  kLeadIn,
  kLeadOut,
  kName,
  kLengthName,
  kArt,
  kFont,
  kSize,
  kSpacing,
  kOffset,
  kListFonts,
  kSend,
  kStep,
  kBrightness,
  kReceive,
  kListPorts,
  kInstallReceiver,
  kBoard,
  kConfigure,
  kFindWiring,
  kWiring,
  kModules,
  kFirstModule
};

// Each format's help lines under the option, its continuation lines indented further.
std::string format_help() {
  constexpr std::string_view kOption = "  -f, --format=NAME    ";
  std::string help;
  for (const FormatDescription& format : output_formats()) {
    std::string_view lines = format.help;
    help += help.empty() ? kOption : std::string(kOption.size(), ' ');
    for (std::size_t end; (end = lines.find('\n')) != std::string_view::npos;) {
      help.append(lines.substr(0, end)).append("\n").append(kOption.size(), ' ');
      lines.remove_prefix(end + 1);
    }
    help.append(lines).append("\n");
  }
  return help;
}

int number_in(std::string_view option, const SettingRange& range, const char* text) {
  const SettingReading reading = read_setting(option, range, text);
  if (reading.problem) throw UsageError(*reading.problem);
  return reading.value;
}

const option kLongOptions[] = {{"output", required_argument, nullptr, 'o'},
                               {"preview", no_argument, nullptr, 'p'},
                               {"format", required_argument, nullptr, 'f'},
                               {"hex", no_argument, nullptr, kHex},
                               {"msb-top", no_argument, nullptr, kMsbTop},
                               {"input-msb-top", no_argument, nullptr, kInputMsbTop},
                               {"lead-in", required_argument, nullptr, kLeadIn},
                               {"lead-out", required_argument, nullptr, kLeadOut},
                               {"name", required_argument, nullptr, kName},
                               {"length-name", required_argument, nullptr, kLengthName},
                               {"art", no_argument, nullptr, kArt},
                               {"decode", no_argument, nullptr, 'd'},
                               {"font", required_argument, nullptr, kFont},
                               {"size", required_argument, nullptr, kSize},
                               {"spacing", required_argument, nullptr, kSpacing},
                               {"offset", required_argument, nullptr, kOffset},
                               {"list-fonts", no_argument, nullptr, kListFonts},
                               {"send", required_argument, nullptr, kSend},
                               {"step", required_argument, nullptr, kStep},
                               {"brightness", required_argument, nullptr, kBrightness},
                               {"receive", required_argument, nullptr, kReceive},
                               {"list-ports", no_argument, nullptr, kListPorts},
                               {"install-receiver", required_argument, nullptr, kInstallReceiver},
                               {"board", required_argument, nullptr, kBoard},
                               {"configure", required_argument, nullptr, kConfigure},
                               {"find-wiring", required_argument, nullptr, kFindWiring},
                               {"wiring", required_argument, nullptr, kWiring},
                               {"modules", required_argument, nullptr, kModules},
                               {"first-module", required_argument, nullptr, kFirstModule},
                               {"help", no_argument, nullptr, 'h'},
                               {"version", no_argument, nullptr, 'V'},
                               {nullptr, 0, nullptr, 0}};

// The long name of the option getopt_long returned as `id`.
std::string long_name(int id) {
  for (const option& candidate : kLongOptions) {
    if (candidate.val == id) return std::string("--") + candidate.name;
  }
  return {};
}

// getopt_long reports an unknown long option, an ambiguous abbreviation and a value given to an
// option that takes none all as '?'; its own messages tell them apart, and so does this one.
UsageError bad_option(const std::string& written, int short_option) {
  if (!written.starts_with("--")) {
    return UsageError("unknown option '-" + std::string(1, static_cast<char>(short_option)) + "'");
  }
  const std::string_view word = std::string_view(written).substr(2);
  const std::string_view name = word.substr(0, word.find('='));
  std::vector<std::string_view> matches;
  for (const option& candidate : kLongOptions) {
    if (candidate.name == nullptr) break;
    const std::string_view long_name(candidate.name);
    if (long_name == name) {
      matches = {long_name};
      break;
    }
    if (long_name.starts_with(name)) matches.push_back(long_name);
  }
  if (matches.size() > 1) {
    std::string possibilities;
    for (const std::string_view match : matches) possibilities += " '--" + std::string(match) + "'";
    return UsageError("option '" + written + "' is ambiguous; possibilities:" + possibilities);
  }
  if (matches.size() == 1 && name.size() < word.size()) {
    return UsageError("option '--" + std::string(matches.front()) + "' takes no value");
  }
  return UsageError("unknown option '" + written + "'");
}

// Which commands take an option or an operand, as bits of (1 << Command).
using Commands = unsigned;
constexpr Commands of(std::initializer_list<Command> commands) {
  Commands bits = 0;
  for (const Command command : commands) bits |= 1u << static_cast<unsigned>(command);
  return bits;
}
constexpr Commands kWritesArray = of({Command::kConvert, Command::kDecode, Command::kReceive});
constexpr Commands kDrawsText = of({Command::kConvert, Command::kSend});
constexpr Commands kPrints = kWritesArray | of({Command::kListFonts, Command::kListPorts});

struct CommandRule {
  Command command;
  int id;                 // the option that chooses it; 0 for converting, which none does
  std::string_view does;  // what it does, as a message says why an option does not go with it
};

constexpr CommandRule kCommands[] = {
    {Command::kConvert, 0, "converting a TEXT"},
    {Command::kDecode, 'd', "reads an array that is drawn already"},
    {Command::kSend, kSend, "stores the message on the board and writes nothing else"},
    {Command::kReceive, kReceive, "writes the message a board holds, drawn already"},
    {Command::kInstallReceiver, kInstallReceiver, "puts the receiver on the board"},
    {Command::kConfigure, kConfigure, "tells the board its modules' layout"},
    {Command::kFindWiring, kFindWiring, "finds the modules' wiring by asking"},
    {Command::kListFonts, kListFonts, "only lists the fonts"},
    {Command::kListPorts, kListPorts, "only lists the serial ports"},
};

struct OptionRule {
  int id;
  Commands taken_by;
  std::string_view does;
};

constexpr OptionRule kOptions[] = {
    {'o', kPrints, "writes a file"},
    {'p', kWritesArray, "pictures the output"},
    {'f', kWritesArray, "says how the output is written"},
    {kHex, kWritesArray, "says how the output is written"},
    {kMsbTop, kWritesArray, "says how the output is written"},
    {kLengthName, kWritesArray, "says how the output is written"},
    {kArt, kWritesArray, "says how the output is written"},
    {kName, kWritesArray, "names the array"},
    {kLeadIn, kWritesArray | of({Command::kSend}), "adds blank columns"},
    {kLeadOut, kWritesArray | of({Command::kSend}), "adds blank columns"},
    {kInputMsbTop, of({Command::kDecode}), "says how the array read is ordered"},
    {kFont, kDrawsText, "draws a text"},
    {kSize, kDrawsText, "draws a text"},
    {kSpacing, kDrawsText, "draws a text"},
    {kOffset, kDrawsText, "draws a text"},
    {kStep, of({Command::kSend}), "sets the board's scrolling"},
    {kBrightness, of({Command::kSend}), "sets the board's brightness"},
    {kBoard, of({Command::kInstallReceiver}), "names the board's kind"},
    {kWiring, of({Command::kConfigure}), "sets the modules' wiring"},
    {kModules, of({Command::kConfigure, Command::kFindWiring}), "sets how many modules"},
    {kFirstModule, of({Command::kConfigure}), "sets where the first module is"},
};

const CommandRule& rule_of(Command command) {
  return *std::find_if(std::begin(kCommands), std::end(kCommands),
                       [command](const CommandRule& rule) { return rule.command == command; });
}

std::string option_name(int id) {
  return id < 256 ? std::string("-") + static_cast<char>(id) : long_name(id);
}

// "--send and --receive": the commands that take an option, as a message lists them.
std::string commands_taking(Commands commands) {
  std::string list;
  for (const CommandRule& rule : kCommands) {
    if (rule.id == 0 || (commands & of({rule.command})) == 0) continue;
    list += (list.empty() ? "" : ", ") + long_name(rule.id);
  }
  return list;
}

// An option the command would ignore names both, and why.
void check_taken(Command command, int id) {
  const auto rule = std::find_if(std::begin(kOptions), std::end(kOptions),
                                 [id](const OptionRule& option) { return option.id == id; });
  if (rule == std::end(kOptions) || (rule->taken_by & of({command})) != 0) return;
  const std::string name = option_name(id);
  if (command == Command::kConvert) {
    throw UsageError("option '" + name + "' goes with " + commands_taking(rule->taken_by) +
                     ": it " + std::string(rule->does));
  }
  const std::string chosen = long_name(rule_of(command).id);
  throw UsageError("options '" + name + "' and '" + chosen + "' do not go together: " + name + " " +
                   std::string(rule->does) + ", and " + chosen + " " +
                   std::string(rule_of(command).does));
}

void check_operands(Command command, int count, const char* first) {
  if (count == 0) return;
  if (command == Command::kConvert || command == Command::kSend || command == Command::kDecode) {
    if (count > 1) {
      throw UsageError(command == Command::kDecode
                           ? "one FILE at most"
                           : "one TEXT at most; put a text with spaces in quotes");
    }
    return;
  }
  throw UsageError(long_name(rule_of(command).id) + " takes no TEXT or FILE, not '" + first + "'");
}

// The board --board names.
BoardModel board_named(const char* name) {
  if (const auto model = board_model_named(name)) return *model;
  std::string names;
  for (const BoardModel model :
       {BoardModel::kUno, BoardModel::kNano, BoardModel::kNanoOld, BoardModel::kMega}) {
    names += (names.empty() ? "" : ", ") + std::string(bootloader_board(model).option);
  }
  throw UsageError("option '--board' is one of " + names + ", not '" + name + "'");
}

// The port --send, --receive or --install-receiver talks to.
std::string port_named(int id, const char* name) {
  if (*name == '\0') {
    throw UsageError("option '" + long_name(id) +
                     "' needs the board's serial port, such as /dev/ttyACM0: --list-ports "
                     "lists them");
  }
  return name;
}

}  // namespace

// The help with each {setting} replaced by its range ("1 to 64") and each {setting:default}
// by its default, as the core has them.
std::string with_ranges(std::string help) {
  const auto replace = [&help](std::string_view name, std::string_view suffix,
                               const std::string& value) {
    std::string token(1, '{');
    token.append(name).append(suffix).push_back('}');
    for (std::size_t at; (at = help.find(token)) != std::string::npos;) {
      help.replace(at, token.size(), value);
    }
  };
  const std::pair<std::string_view, const SettingRange*> settings[] = {
      {"size", &kFontSizeRange},    {"offset", &kOffsetRange}, {"lead-in", &kLeadInRange},
      {"lead-out", &kLeadOutRange}, {"step", &kStepRange},     {"brightness", &kBrightnessRange},
      {"modules", &kModulesRange}};
  for (const auto& [name, range] : settings) {
    std::string span = std::to_string(range->lowest);
    span.append(" to ").append(std::to_string(range->highest));
    replace(name, "", span);
    replace(name, ":default", std::to_string(range->fallback));
  }
  return help;
}

std::string help_text() {
  return with_ranges(std::string(kHelpBeforeFormats) + format_help() +
                     std::string(kHelpAfterFormats));
}

CliOptions parse_options(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{"marquee8"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  CliOptions options;
  OutputSettings& settings = options.settings;
  std::optional<int> lead_in;
  std::optional<int> chooser;  // the option that chose the command
  std::vector<int> given;
  bool help = false;
  bool version = false;
  const auto choose = [&](Command command, int id) {
    if (chooser && *chooser != id) {
      throw UsageError("options '" + option_name(*chooser) + "' and '" + option_name(id) +
                       "' are two commands: choose one");
    }
    chooser = id;
    options.command = command;
  };
  optind = 0;  // getopt keeps its position in globals; 0 restarts it for every run
  opterr = 0;
  const int argc = static_cast<int>(words.size());
  for (int option;
       (option = getopt_long(argc, argv.data(), ":o:pf:dhV", kLongOptions, nullptr)) != -1;) {
    const std::string written = optind > 0 ? argv[optind - 1] : "";
    given.push_back(option);
    switch (option) {
      case 'o':
        options.output = optarg;
        break;
      case 'p':
        options.preview = true;
        break;
      case 'f':
        if (const auto format = output_format_named(optarg)) {
          settings.format = *format;
        } else {
          throw UsageError(std::string("unknown format '") + optarg + "': use " + format_names());
        }
        break;
      case kHex:
        settings.hex = true;
        break;
      case kMsbTop:
        settings.msb_top = true;
        break;
      case kInputMsbTop:
        options.source.msb_top = true;
        break;
      case kLeadIn:
        lead_in = number_in("--lead-in", kLeadInRange, optarg);
        options.lead_in_given = true;
        break;
      case kLeadOut:
        settings.lead_out = number_in("--lead-out", kLeadOutRange, optarg);
        options.lead_out_given = true;
        break;
      case kName:
        settings.array_name = optarg;
        options.source.name = optarg;
        break;
      case kLengthName:
        settings.length_name = optarg;
        break;
      case kArt:
        settings.art = true;
        break;
      case 'd':
        choose(Command::kDecode, option);
        break;
      case kFont:
        options.font.font = font_source_named(optarg);
        break;
      case kSize:
        options.font.size = number_in("--size", kFontSizeRange, optarg);
        break;
      case kSpacing:
        if (optarg != std::string_view("cell") && optarg != std::string_view("font")) {
          throw UsageError("option '--spacing' is cell or font, not '" + std::string(optarg) + "'");
        }
        options.font.cell_spacing = optarg == std::string_view("cell");
        break;
      case kOffset:
        options.font.offset = number_in("--offset", kOffsetRange, optarg);
        break;
      case kListFonts:
        choose(Command::kListFonts, option);
        break;
      case kSend:
        choose(Command::kSend, option);
        options.port = port_named(option, optarg);
        break;
      case kStep:
        options.step_ms = number_in("--step", kStepRange, optarg);
        break;
      case kBrightness:
        options.brightness = number_in("--brightness", kBrightnessRange, optarg);
        break;
      case kReceive:
        choose(Command::kReceive, option);
        options.port = port_named(option, optarg);
        break;
      case kListPorts:
        choose(Command::kListPorts, option);
        break;
      case kInstallReceiver:
        choose(Command::kInstallReceiver, option);
        options.port = port_named(option, optarg);
        break;
      case kBoard:
        options.board = board_named(optarg);
        break;
      case kConfigure:
        choose(Command::kConfigure, option);
        options.port = port_named(option, optarg);
        break;
      case kFindWiring:
        choose(Command::kFindWiring, option);
        options.port = port_named(option, optarg);
        break;
      case kWiring:
        options.wiring = parse_wiring(optarg);
        if (!options.wiring) throw UsageError("option '--wiring': " + unknown_wiring(optarg));
        break;
      case kModules:
        options.modules = number_in("--modules", kModulesRange, optarg);
        break;
      case kFirstModule:
        options.first_module_left = parse_first_module(optarg);
        if (!options.first_module_left) {
          throw UsageError("option '--first-module': " + unknown_first_module(optarg));
        }
        break;
      case 'h':
        help = true;
        break;
      case 'V':
        version = true;
        break;
      case ':':
        throw UsageError("option '" + written + "' needs a value");
      default:
        throw bad_option(written, optopt);
    }
  }
  if (help || version) {
    options.command = help ? Command::kHelp : Command::kVersion;
    return options;
  }
  for (const int id : given) check_taken(options.command, id);
  check_operands(options.command, argc - optind, argv[optind]);
  if (options.command == Command::kConfigure && !options.wiring && !options.modules &&
      !options.first_module_left) {
    throw UsageError("option '--configure' needs --wiring, --modules or --first-module");
  }
  if (lead_in) settings.lead_in = *lead_in;
  if (options.command == Command::kDecode || options.command == Command::kReceive) {
    settings = decoded_array_settings(settings, options.lead_in_given, options.lead_out_given);
  }
  if (optind < argc) options.operand = argv[optind];
  if (const auto problem = settings_problem(settings)) throw UsageError(*problem);
  return options;
}

}  // namespace marquee8
