#include "cli.h"

#include <getopt.h>

#include <cerrno>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <system_error>

#include "conversion.h"
#include "output_file.h"
#include "preview.h"
#include "stdin_line.h"
#include "text_constants.h"
#include "utf8_line.h"

namespace marquee8 {

namespace {

constexpr std::string_view kUsage = "Usage: marquee8 [OPTIONS] [TEXT]\n";

constexpr std::string_view kHelp =
    R"(Draw TEXT in the 8-pixel LED font and print the C declarations an 8-row LED
marquee scrolls: byte a[]={...}; with one byte per pixel column (eight zeros
first; bit 0 is the top row, bit 7 the bottom one) and int slen=...;

With no TEXT, read one line of UTF-8 from standard input; when standard input
is a terminal, convert "825710".

  -o, --output=FILE  write to FILE, replacing it only once all is written
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

// Standard output; a failed write (a full disk, a closed descriptor) is an error, not a
// silent loss.
class StreamSink final : public ByteSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}

  void write(std::string_view bytes) override {
    check([&] { out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
  }
  void flush() {
    check([&] { out_.flush(); });
  }

 private:
  void check(const std::function<void()>& operation) {
    errno = 0;
    operation();
    if (!out_) {
      throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(),
                              "cannot write to standard output");
    }
  }

  std::ostream& out_;
};

class FileSink final : public ByteSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  void write(std::string_view bytes) override { file_.write(bytes); }

 private:
  OutputFile& file_;
};

// Sends what `produce` writes to standard output, or to the -o file, which is replaced only
// once all of it is there.
void emit(const Options& options, std::ostream& out,
          const std::function<void(ByteSink&)>& produce) {
  if (options.output) {
    OutputFile file(*options.output);
    FileSink sink(file);
    produce(sink);
    file.commit();
    return;
  }
  StreamSink sink(out);
  produce(sink);
  sink.flush();
}

std::string read_text(const Options& options, const Console& console) {
  if (options.text) return *options.text;
  if (console.in_is_terminal) return std::string(kDefaultText);
  return read_stdin_line(console.in);
}

void convert(const Options& options, const Console& console) {
  // The whole text is checked before anything is written, so bad input never leaves a partial
  // output behind.
  const std::string bytes = read_text(options, console);
  const Utf8Line text = Utf8Line::check(bytes);
  Conversion conversion;
  if (options.preview) {
    const std::string picture = preview(conversion.column_values(text));
    emit(options, console.out, [&](ByteSink& out) { out.write(picture); });
    return;
  }
  emit(options, console.out, [&](ByteSink& out) { conversion.write_output(text, out); });
}

void print(const Options& options, const Console& console) {
  StreamSink out(console.out);
  if (options.help) {
    out.write(kUsage);
    out.write("\n");
    out.write(kHelp);
  } else {
    out.write("marquee8 " MARQUEE8_VERSION "\n");
  }
  out.flush();
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

  try {
    if (options.help || options.version) {
      print(options, console);
    } else {
      convert(options, console);
    }
    return kSuccess;
  } catch (const std::bad_alloc&) {
    console.err << "marquee8: not enough memory for this text\n";
  } catch (const std::exception& error) {
    console.err << "marquee8: " << error.what() << '\n';
  }
  return kFailure;
}

}  // namespace marquee8
