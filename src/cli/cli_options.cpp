#include "cli_options.h"

#include <getopt.h>

#include <charconv>
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

  -o, --output=FILE    write to FILE, replacing it only once all is written
  -p, --preview        print the 8 sampled rows as '#' (lit) and '.' (dark)
)";

constexpr std::string_view kHelpAfterFormats =
    R"(      --hex            write the values as 0x00 to 0xFF
      --msb-top        bit 7 is the top row, bit 0 the bottom one
      --lead-in=N      N blank columns before the text (default 8)
      --lead-out=N     N blank columns after it (default 0); 32 lets the text
                         leave a chain of four 8x8 modules
      --name=NAME      the array's name (default a)
      --length-name=NAME  the length's name (default slen); whatever the
                         format, it holds the index of the array's last element
      --art            picture the rows as '#'/'.' comment lines above the array
      --font=FONT      draw with FONT: builtin (default), a font file (BDF,
                         PCF, PCF.gz, OTB, TTF, OTF) or an installed family;
                         always in monochrome
      --size=PX        the font's size in pixels: one of a bitmap font's
                         sizes (default: the tallest that fits 8 rows); for
                         an outline font, default the largest size whose
                         printable ASCII fits 8 rows
      --spacing=HOW    cell (default): 6 columns per character, as the
                         classic output counts; font: each glyph's own width
      --offset=ROWS    move the text down ROWS rows (up when negative) from
                         where capitals start on row 1
      --list-fonts     list the fonts --font can use, bitmap ones included,
                         with their sizes, and exit
  -d, --decode         read an array from FILE (standard input without one or
                         with -):
                         any array marquee8 writes, or a hand-written C or
                         Python array of byte values; write its values as
                         they are in the chosen format and options, or with
                         --preview as rows. --lead-in and --lead-out add
                         columns only when given; --msb-top says the array
                         has bit 7 at the top (the values stay as they are)
      --send=PORT      send the text's columns, leads included, to the marquee8
                         receiver sketch on serial port PORT, read them back
                         and compare; the board keeps them through power cuts
      --step=MS        with --send: the board moves one column every MS
                         milliseconds (default 40)
      --brightness=N   with --send: the LEDs' brightness, 0 to 15 (default 2)
      --receive=PORT   read the message the receiver on PORT stores and write
                         it as --decode does
      --list-ports     list the serial ports with their USB description and
                         vendor:product, and exit
  -h, --help           show this help and exit
  -V, --version        show the version and exit

-o replaces FILE with a new file: a hard link to the old one keeps the old
contents, as with sed -i.

Exit status: 0 on success, 1 on bad input or a failed read or write, 2 on a
usage error.
)";

enum LongOnly : int {
  kHex = 256,
  kMsbTop,
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
  kListPorts
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

// A whole number in decimal from `lowest` to `highest` `unit`, as strtol reads it less the
// leading blanks: "+1" is 1. Anything else is a usage error naming the option and the value.
int number_in(const char* option, const char* unit, int lowest, int highest, const char* text) {
  const std::string range = std::to_string(lowest) + " to " + std::to_string(highest) + " " + unit;
  std::string_view digits(text);
  if (digits.starts_with('+') && digits.size() > 1 && digits[1] != '-') digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  const bool read = end == digits.data() + digits.size();
  if (!read || (error != std::errc() && error != std::errc::result_out_of_range)) {
    throw UsageError(std::string("option '") + option + "' needs a whole number from " + range +
                     ", not '" + text + "'");
  }
  if (error == std::errc::result_out_of_range || value < lowest || value > highest) {
    throw UsageError(std::string("option '") + option + "' needs " + range + ": '" + text +
                     "' is out of range");
  }
  return value;
}

int columns(const char* option, const char* text) {
  return number_in(option, "columns", 0, OutputSettings::kMaxLead, text);
}

const option kLongOptions[] = {{"output", required_argument, nullptr, 'o'},
                               {"preview", no_argument, nullptr, 'p'},
                               {"format", required_argument, nullptr, 'f'},
                               {"hex", no_argument, nullptr, kHex},
                               {"msb-top", no_argument, nullptr, kMsbTop},
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
                               {"help", no_argument, nullptr, 'h'},
                               {"version", no_argument, nullptr, 'V'},
                               {nullptr, 0, nullptr, 0}};

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

}  // namespace

std::string help_text() {
  return std::string(kHelpBeforeFormats) + format_help() + std::string(kHelpAfterFormats);
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
  const char* font_option = nullptr;  // the first option saying how to draw the text
  optind = 0;  // getopt keeps its position in globals; 0 restarts it for every run
  opterr = 0;
  const int argc = static_cast<int>(words.size());
  for (int option;
       (option = getopt_long(argc, argv.data(), ":o:pf:dhV", kLongOptions, nullptr)) != -1;) {
    const std::string written = optind > 0 ? argv[optind - 1] : "";
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
      case kLeadIn:
        lead_in = columns("--lead-in", optarg);
        options.lead_in_given = true;
        break;
      case kLeadOut:
        settings.lead_out = columns("--lead-out", optarg);
        options.lead_out_given = true;
        break;
      case kName:
        settings.array_name = optarg;
        break;
      case kLengthName:
        settings.length_name = optarg;
        break;
      case kArt:
        settings.art = true;
        break;
      case 'd':
        options.decode = true;
        break;
      case kFont:
        if (font_option == nullptr) font_option = "--font";
        options.font.font = font_source_named(optarg);
        break;
      case kSize:
        if (font_option == nullptr) font_option = "--size";
        options.font.size = number_in("--size", "pixels", 1, 64, optarg);
        break;
      case kSpacing:
        if (font_option == nullptr) font_option = "--spacing";
        if (optarg != std::string_view("cell") && optarg != std::string_view("font")) {
          throw UsageError("option '--spacing' is cell or font, not '" + std::string(optarg) + "'");
        }
        options.font.cell_spacing = optarg == std::string_view("cell");
        break;
      case kOffset:
        if (font_option == nullptr) font_option = "--offset";
        options.font.offset = number_in("--offset", "rows", -32, 32, optarg);
        break;
      case kListFonts:
        options.list_fonts = true;
        break;
      case kSend:
        options.send = optarg;
        break;
      case kStep:
        options.step_ms = number_in("--step", "ms", 1, 65535, optarg);
        break;
      case kBrightness:
        options.brightness = number_in("--brightness", "levels", 0, 15, optarg);
        break;
      case kReceive:
        options.receive = optarg;
        break;
      case kListPorts:
        options.list_ports = true;
        break;
      case 'h':
        options.help = true;
        break;
      case 'V':
        options.version = true;
        break;
      case ':':
        throw UsageError("option '" + written + "' needs a value");
      default:
        throw bad_option(written, optopt);
    }
  }
  if (options.decode && font_option != nullptr) {
    throw UsageError(std::string("option '") + font_option +
                     "' draws a text, and --decode reads an array that is drawn already");
  }
  if (options.list_fonts && optind < argc) {
    throw UsageError("--list-fonts lists the fonts and takes no TEXT, not '" +
                     std::string(argv[optind]) + "'");
  }
  if (argc - optind > 1) {
    throw UsageError(options.decode ? "one FILE at most"
                                    : "one TEXT at most; put a text with spaces in quotes");
  }
  if (lead_in) settings.lead_in = *lead_in;
  if (options.decode || options.receive) {
    settings = decoded_array_settings(settings, options.lead_in_given, options.lead_out_given);
  }
  if (optind < argc) options.text = argv[optind];
  if (const auto problem = settings_problem(settings)) throw UsageError(*problem);
  return options;
}

}  // namespace marquee8
