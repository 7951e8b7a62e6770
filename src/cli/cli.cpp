#include "cli.h"

#include <cerrno>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <system_error>

#include "cli_options.h"
#include "conversion.h"
#include "output_file.h"
#include "preview.h"
#include "cli_input.h"
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

class FileSink final : public ByteSink {
 public:
  explicit FileSink(OutputFile& file) : file_(file) {}
  void write(std::string_view bytes) override { file_.write(bytes); }

 private:
  OutputFile& file_;
};

// Sends what `produce` writes to standard output, or to the -o file, which is replaced only
// once all of it is there.
void emit(const CliOptions& options, std::ostream& out,
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

std::string read_text(const CliOptions& options, const Console& console) {
  if (options.text) return *options.text;
  if (console.in_is_terminal) return std::string(kDefaultText);
  return read_stdin_line(console.in);
}

// The preview shows the text's own columns, and the leads only when they were asked for.
std::string preview_of(const CliOptions& options, std::vector<std::uint8_t> values) {
  if (options.leads_given) {
    values.insert(values.begin(), static_cast<std::size_t>(options.settings.lead_in), 0);
    values.insert(values.end(), static_cast<std::size_t>(options.settings.lead_out), 0);
  }
  return preview(values);
}

void convert(const CliOptions& options, const Console& console) {
  if (!is_text(options.settings.format) && !options.output && console.out_is_terminal &&
      !options.preview) {
    throw std::runtime_error(
        "raw bytes would garble the terminal: write them with -o FILE or through a pipe");
  }
  // The whole text is checked before anything is written, so bad input never leaves a partial
  // output behind.
  const std::string bytes = read_text(options, console);
  const Utf8Line text = Utf8Line::check(bytes);
  Conversion conversion(
      {.font_points = ConversionSettings().font_points, .output = options.settings});
  if (options.preview) {
    const std::string picture = preview_of(options, conversion.column_values(text));
    emit(options, console.out, [&](ByteSink& out) { out.write(picture); });
    return;
  }
  emit(options, console.out, [&](ByteSink& out) { conversion.write_output(text, out); });
}

void print(const CliOptions& options, const Console& console) {
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
  CliOptions options;
  try {
    options = parse_options(arguments);
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
