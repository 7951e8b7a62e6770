#include "cli.h"

#include <cerrno>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <system_error>
#include <utility>

#include "board_transfer.h"
#include "cli_input.h"
#include "cli_options.h"
#include "conversion.h"
#include "decode.h"
#include "find_wiring.h"
#include "fonts.h"
#include "install_receiver.h"
#include "module_wiring.h"
#include "output_file_sink.h"
#include "output_formats.h"
#include "preview.h"
#include "status.h"
#include "terminal_text.h"
#include "text_constants.h"
#include "utf8_line.h"

namespace marquee8 {

namespace {

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

// Sends what `produce` writes to standard output, or to the -o file, which is replaced only
// once all of it is there. Raw bytes are refused wherever they would land on a terminal, since
// -o /dev/tty or /dev/stdout reaches one as surely as standard output does.
void emit(const CliOptions& options, const Console& console, bool raw,
          const std::function<void(ByteSink&)>& produce) {
  const auto refuse_terminal = [raw](bool terminal) {
    if (raw && terminal) {
      throw std::runtime_error(
          "raw bytes would garble the terminal: write them with -o FILE or through a pipe");
    }
  };
  if (options.output) {
    OutputFile file(*options.output);
    refuse_terminal(file.is_terminal());
    OutputFileSink sink(file);
    produce(sink);
    file.commit();
    return;
  }
  refuse_terminal(console.out_is_terminal);
  StreamSink sink(console.out);
  produce(sink);
  sink.flush();
}

// Text is written as it is; raw bytes only when not pictured as rows.
bool writes_raw(const CliOptions& options) {
  return !format_description(options.settings.format).text && !options.preview;
}

// The TEXT, or the line standard input holds. An input that ends before any byte is refused:
// an empty message written from nothing would look like a conversion that worked.
std::string read_text(const CliOptions& options, const Console& console) {
  if (options.operand) return *options.operand;
  if (console.in_is_terminal) return std::string(kDefaultText);
  std::optional<std::string> line = read_stdin_line(console.in);
  if (!line) {
    throw std::runtime_error(
        "standard input is empty: give a TEXT, or a line on standard input (an empty line is an "
        "empty message)");
  }
  return std::move(*line);
}

// The preview shows the text's own columns, and the leads only when they were asked for.
std::string preview_of(const CliOptions& options, const std::vector<std::uint8_t>& values) {
  if (options.lead_in_given || options.lead_out_given) {
    return preview(with_leads(values, options.settings));
  }
  return preview(values);
}

void warn(const Console& console, const std::vector<std::string>& warnings) {
  // Warnings only: the output is written, and the exit status stays 0.
  for (const std::string& warning : warnings) {
    console.err << "marquee8: warning: " << terminal_safe(warning) << '\n';
  }
}

void convert(const CliOptions& options, const Console& console) {
  // The whole text is checked before anything is written, so bad input never leaves a partial
  // output behind.
  const std::string bytes = read_text(options, console);
  const Utf8Line text = Utf8Line::check(bytes);
  Conversion conversion(ConversionSettings{options.font, options.settings});
  if (options.preview) {
    const std::string picture = preview_of(options, conversion.column_values(text));
    emit(options, console, false, [&](ByteSink& out) { out.write(picture); });
  } else {
    emit(options, console, writes_raw(options),
         [&](ByteSink& out) { conversion.write_output(text, out); });
    warn(console, status_warnings(conversion.figures()));
  }
  warn(console, conversion.warning_lines());
}

// Columns (bit 0 the top row) written with the output options, or with --preview as rows.
void write_columns(const CliOptions& options, const Console& console,
                   const std::vector<std::uint8_t>& columns) {
  if (options.preview) {
    const std::string picture = preview_of(options, columns);
    emit(options, console, false, [&](ByteSink& out) { out.write(picture); });
    return;
  }
  emit(options, console, writes_raw(options),
       [&](ByteSink& out) { write_decoded(columns, options.settings, out); });
  warn(console, status_warnings(status_figures(options.settings, columns.size())));
}

// --decode: the array read with its own bit order, written again as the output options say.
void decode(const CliOptions& options, const Console& console) {
  const bool from_stdin = !options.operand || *options.operand == "-";
  if (from_stdin && console.in_is_terminal) {
    console.err << "marquee8: reading an array from standard input; end it with Ctrl+D\n";
  }
  write_columns(
      options, console,
      read_columns(from_stdin ? read_array_stdin(console.in) : read_array_file(*options.operand),
                   options.source));
}

// --send: the text's columns, leads included and bit 0 at the top as the receiver scrolls them.
void send(const CliOptions& options, const Console& console) {
  const std::string bytes = read_text(options, console);
  const Utf8Line text = Utf8Line::check(bytes);
  Conversion conversion(ConversionSettings{options.font, options.settings});
  const BoardMessage message{with_leads(conversion.column_values(text), options.settings),
                             options.step_ms, options.brightness};
  warn(console, conversion.warning_lines());
  const SendReport report =
      send_to_board(options.port, message, [](std::size_t, std::size_t) { return true; });
  StreamSink out(console.out);
  out.write("marquee8: " + report.summary() + "\n");
  out.flush();
}

void receive(const CliOptions& options, const Console& console) {
  write_columns(options, console, receive_from_board(options.port).columns);
}

// --install-receiver: the receiver's HEX installed with marquee8, through the board's
// bootloader, a line on standard error at each quarter written and read back.
void install(const CliOptions& options, const Console& console) {
  const std::string_view board = bootloader_board(options.board).name;
  const std::filesystem::path hex = installed_receiver(options.board);
  console.err << "marquee8: installing the receiver on the " << board << " on "
              << terminal_safe(options.port) << '\n';
  std::size_t quarters = 0;
  const InstallReport report =
      install_receiver(options.port, options.board, hex, [&](std::size_t done, std::size_t in_all) {
        for (; quarters < 4 && done * 4 >= (quarters + 1) * in_all; ++quarters) {
          console.err << "marquee8: " << (quarters < 2 ? "written " : "read back ")
                      << (quarters % 2 == 0 ? "half" : "all") << '\n';
        }
        return true;
      });
  StreamSink out(console.out);
  out.write("marquee8: " + terminal_safe(report.summary()) + "\n");
  out.flush();
}

void report_layout(const Console& console, const std::string& port, const ModuleLayout& layout) {
  StreamSink out(console.out);
  out.write("marquee8: " + layout_report(terminal_safe(port), layout) + "\n");
  out.flush();
}

// --configure and --find-wiring: what the board then keeps, on standard output.
void configure(const CliOptions& options, const Console& console) {
  report_layout(
      console, options.port,
      configure_board(options.port, {options.wiring, options.modules, options.first_module_left}));
}

void find_wiring(const CliOptions& options, const Console& console) {
  report_layout(console, options.port, ask_wiring(options.port, options.modules, console));
}

void list_ports(const CliOptions& options, const Console& console) {
  emit(options, console, false, [](ByteSink& out) {
    for (const SerialPortInfo& port : serial_ports()) {
      out.write(terminal_safe(describe_port(port)) + "\n");
    }
  });
}

// Every font --font can use, one line each: the family and style to give it, its kind and
// size, and its file.
void list_fonts(const CliOptions& options, const Console& console) {
  emit(options, console, false, [](ByteSink& out) {
    for (const InstalledFont& font : installed_fonts()) {
      const std::string kind =
          font.pixel_size ? "bitmap " + std::to_string(*font.pixel_size) + " px" : "outline";
      out.write(terminal_safe(font.family) + "\t" + terminal_safe(font.style) + "\t" + kind + "\t" +
                terminal_safe(font.file) + "\n");
    }
  });
}

// With -o the help or version goes to the file, as everything else the program prints does.
void help(const CliOptions& options, const Console& console) {
  emit(options, console, false, [&](ByteSink& out) {
    out.write(kUsage);
    out.write(help_text());
  });
}

void version(const CliOptions& options, const Console& console) {
  emit(options, console, false,
       [&](ByteSink& out) { out.write("marquee8 " MARQUEE8_VERSION "\n"); });
}

// One function a command.
using Run = void (*)(const CliOptions&, const Console&);
constexpr std::pair<Command, Run> kRuns[] = {
    {Command::kConvert, convert},
    {Command::kDecode, decode},
    {Command::kSend, send},
    {Command::kReceive, receive},
    {Command::kInstallReceiver, install},
    {Command::kConfigure, configure},
    {Command::kFindWiring, find_wiring},
    {Command::kListFonts, list_fonts},
    {Command::kListPorts, list_ports},
    {Command::kHelp, help},
    {Command::kVersion, version},
};

}  // namespace

int run_cli(const std::vector<std::string>& arguments, const Console& console) {
  CliOptions options;
  try {
    options = parse_options(arguments);
  } catch (const UsageError& error) {
    console.err << "marquee8: " << terminal_safe(error.what()) << '\n'
                << kUsage << "Try 'marquee8 --help' for more information.\n";
    return kUsageError;
  }

  try {
    for (const auto& [command, run] : kRuns) {
      if (command == options.command) run(options, console);
    }
    return kSuccess;
  } catch (const std::bad_alloc&) {
    console.err << "marquee8: not enough memory for this text\n";
  } catch (const std::exception& error) {
    console.err << "marquee8: " << terminal_safe(error.what()) << '\n';
  }
  return kFailure;
}

}  // namespace marquee8
