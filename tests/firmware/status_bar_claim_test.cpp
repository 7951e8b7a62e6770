// What the window's status bar claims an array takes, against what avr-gcc puts in flash.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "byte_sink.h"
#include "conversion.h"
#include "core_adapter.h"
#include "run_command.h"
#include "temporary_directory.h"
#include "utf8_line.h"

namespace marquee8::testing {
namespace {

TEST(CompiledOutput, ClaimedBytesAreWhatTheAvrObjectHolds) {
  OutputSettings settings;
  settings.format = OutputFormat::kProgmem;
  settings.lead_out = 32;
  const TemporaryDirectory scratch;
  for (const char* text : {"825710", "825710 Hi!", ""}) {
    SCOPED_TRACE(text);
    StringSink output;
    Conversion(settings).write_output(Utf8Line::check(text), output);
    write_file(scratch.path() / "array.c", output.text());
    const std::string object = (scratch.path() / "array.o").string();
    ASSERT_EQ(run_command(AVR_GCC " -mmcu=atmega328p -Os -c " +
                          (scratch.path() / "array.c").string() + " -o " + object)
                  .status,
              0);
    std::istringstream lines(run_command(AVR_SIZE " -A " + object).output);
    qsizetype flash_bytes = 0;
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string section;
      qsizetype size = 0;
      if (fields >> section >> size && section == ".progmem.data") flash_bytes = size;
    }
    EXPECT_EQ(WindowConversion(settings).start(QString::fromUtf8(text)).array_bytes, flash_bytes);
  }
}

}  // namespace
}  // namespace marquee8::testing
