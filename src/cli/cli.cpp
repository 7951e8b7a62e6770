#include "cli.h"

#include <getopt.h>

#include <iostream>
#include <iterator>
#include <new>
#include <optional>
#include <system_error>

#include "array_text.h"
#include "font_face.h"
#include "glyph_canvas.h"
#include "output_file.h"
#include "preview.h"
#include "start_command.h"
#include "text_input.h"

namespace marquee8 {

namespace {

constexpr std::string_view kDefaultText = "825710";

constexpr std::string_view kUsage = "Usage: marquee8 [OPTIONS] [TEXT]\n";

constexpr std::string_view kHelp =
    R"(Draw TEXT in the 8-pixel LED font and print the C declarations an 8-row LED
marquee scrolls: byte a[]={...}; with one byte per pixel column (eight zeros
first; bit 0 is the top row, bit 7 the bottom one) and int slen=...;

With no TEXT, read one line of UTF-8 from standard input; when standard input
is a terminal, convert "825710".

  -o, --output=FILE  write to FILE, replacing it only once all is written
                     (a hard link to the old FILE keeps the old contents)
  -p, --preview      print the 8 sampled rows as '#' (lit) and '.' (dark)
  -h, --help         show this help and exit
  -V, --version      show the version and exit

Exit status: 0 on success, 1 on bad input or a failed write, 2 on a usage error.
)";

struct Options {
  std::optional<std::string> text;
  std::optional<std::string> output;
  bool preview = false;
  bool help = false;
  bool version = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

Options parse(const std::vector<std::string>& arguments) {
  std::vector<std::string> words{"marquee8"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  static const option kLongOptions[] = {{"output", required_argument, nullptr, 'o'},
                                        {"preview", no_argument, nullptr, 'p'},
                                        {"help", no_argument, nullptr, 'h'},
                                        {"version", no_argument, nullptr, 'V'},
                                        {nullptr, 0, nullptr, 0}};
  Options options;
  optind = 0;  // getopt keeps its position in globals; 0 restarts it for every run
  opterr = 0;
  const int argc = static_cast<int>(words.size());
  for (int option;
       (option = getopt_long(argc, argv.data(), ":o:phV", kLongOptions, nullptr)) != -1;) {
    switch (option) {
      case 'o':
        options.output = optarg;
        break;
      case 'p':
        options.preview = true;
        break;
      case 'h':
        options.help = true;
        break;
      case 'V':
        options.version = true;
        break;
      case ':':
        throw UsageError("option '" + std::string(argv[optind - 1]) + "' needs a FILE");
      default:
        throw UsageError("unknown option '" + std::string(argv[optind - 1]) + "'");
    }
  }
  if (argc - optind > 1) {
    throw UsageError("one TEXT at most; put a text with spaces in quotes");
  }
  if (optind < argc) options.text = argv[optind];
  return options;
}

std::string read_text(const Options& options, const Console& console) {
  if (options.text) return *options.text;
  if (console.in_is_terminal) return std::string(kDefaultText);
  std::string input{std::istreambuf_iterator<char>(console.in), std::istreambuf_iterator<char>()};
  if (console.in.bad()) throw BadInput("cannot read standard input");
  return std::string(strip_line_ending(input));
}

std::string convert(const Options& options, const Console& console) {
  const std::u16string text = decode_line(read_text(options, console));
  GlyphCanvas canvas;
  const std::vector<std::uint8_t> values = draw_and_sample(text, canvas);
  return options.preview ? preview(values) : array_text(values) + "\r\n";
}

void write(const Options& options, const Console& console, std::string_view result) {
  if (options.output) {
    OutputFile file(*options.output);
    file.write(result);
    file.commit();
    return;
  }
  console.out.write(result.data(), static_cast<std::streamsize>(result.size()));
  console.out.flush();
  if (!console.out) throw BadInput("cannot write to standard output");
}

}  // namespace

int run_cli(const std::vector<std::string>& arguments, const Console& console) {
  Options options;
  try {
    options = parse(arguments);
  } catch (const UsageError& error) {
    console.err << "marquee8: " << error.what() << '\n'
                << kUsage << "Try 'marquee8 --help' for more information.\n";
    return kUsageError;
  }
  if (options.help) {
    console.out << kUsage << '\n' << kHelp;
    return kSuccess;
  }
  if (options.version) {
    console.out << "marquee8 " << MARQUEE8_VERSION << '\n';
    return kSuccess;
  }

  try {
    write(options, console, convert(options, console));
    return kSuccess;
  } catch (const std::bad_alloc&) {
    console.err << "marquee8: not enough memory for this text\n";
  } catch (const std::exception& error) {
    console.err << "marquee8: " << error.what() << '\n';
  }
  return kBadInput;
}

}  // namespace marquee8
