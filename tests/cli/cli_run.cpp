#include "cli_run.h"

#include <sstream>

#include "canvas_size.h"
#include "cli.h"
#include "conversion.h"

namespace marquee8::testing {

namespace {

CliRun run(const std::vector<std::string>& arguments, const std::string& stdin_bytes,
           bool is_terminal) {
  std::istringstream in(stdin_bytes);
  std::ostringstream out;
  std::ostringstream err;
  const int status = run_cli(arguments, {in, is_terminal, out, false, err});
  return {status, out.str(), err.str()};
}

}  // namespace

CliRun run_with_stdin(const std::vector<std::string>& arguments, const std::string& stdin_bytes) {
  return run(arguments, stdin_bytes, false);
}

CliRun run_at_terminal(const std::vector<std::string>& arguments) {
  // Input that would fail if read proves the terminal is left alone.
  return run(arguments, "\xFF", true);
}

std::string expected_output(const std::u16string& text) {
  GlyphCanvas canvas(testing::kCanvasWidth, testing::kCanvasHeight);
  return Conversion().start(text, canvas.width(), canvas.height()).output + "\r\n";
}

}  // namespace marquee8::testing
