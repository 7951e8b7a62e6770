// Every output format as the firmware's own compiler or interpreter reads it: gcc and clang (C
// and C++) on this machine, avr-gcc for an ATmega328P, python3 for MicroPython's syntax. The
// values they read back must be the sampled columns, leads and bit order applied here alone.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "byte_sink.h"
#include "conversion.h"
#include "decode.h"
#include "expected_array.h"
#include "output_formats.h"
#include "run_command.h"
#include "settings_problem.h"
#include "status.h"
#include "temporary_directory.h"
#include "utf8_line.h"

namespace marquee8::testing {
namespace {

using ::testing::HasSubstr;

constexpr std::string_view kText = "825710 Hi!";

std::string output_of(std::string_view text, const OutputSettings& settings) {
  StringSink out;
  Conversion(settings).write_output(Utf8Line::check(text), out);
  return out.take();
}

// "v v v ... | L" as the test programs print the array and its length.
std::string printed(const std::vector<unsigned>& array) {
  std::ostringstream text;
  for (const unsigned value : array) text << value << ' ';
  text << "| " << array.size() - 1 << '\n';
  return text.str();
}

// The bytes of `symbol` in `section` of an avr-gcc object or program, as the chip would read
// them from flash: PROGMEM data in an object, merged into .text once linked.
std::vector<unsigned> flash_bytes(const std::filesystem::path& file, const std::string& section,
                                  const std::string& symbol) {
  std::istringstream symbols(run_command(AVR_NM " -S -C " + file.string()).output);
  std::size_t address = 0;
  std::size_t size = 0;
  for (std::string line; std::getline(symbols, line);) {
    std::istringstream fields(line);
    std::string at, length, type, name;
    if (fields >> at >> length >> type >> name && name == symbol) {
      address = std::stoul(at, nullptr, 16);
      size = std::stoul(length, nullptr, 16);
    }
  }
  const std::filesystem::path bytes = file.string() + ".bin";
  const CommandResult copied = run_command(AVR_OBJCOPY " -O binary -j " + section + " " +
                                           file.string() + " " + bytes.string());
  if (copied.status != 0 || size == 0) ADD_FAILURE() << "no " << symbol << ": " << copied.output;
  std::ifstream stream(bytes, std::ios::binary);
  stream.seekg(static_cast<std::streamoff>(address));
  std::vector<unsigned> values;
  for (char byte; values.size() < size && stream.get(byte);) {
    values.push_back(static_cast<unsigned char>(byte));
  }
  return values;
}

struct Row {
  std::string name;
  std::string_view text;
  OutputSettings settings;
};
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// Every format with every combination of the options: hex, bit order, leads, names and art.
std::vector<Row> every_combination() {
  std::vector<Row> rows;
  for (const OutputFormat format : {OutputFormat::kClassic, OutputFormat::kProgmem,
                                    OutputFormat::kC, OutputFormat::kMicroPython}) {
    for (int options = 0; options < 32; ++options) {
      const bool hex = options & 1, msb_top = options & 2, leads = options & 4, names = options & 8,
                 art = options & 16;
      OutputSettings settings{.format = format, .hex = hex, .msb_top = msb_top, .art = art};
      if (leads) settings.lead_in = 0, settings.lead_out = 32;
      if (names) settings.array_name = "scroll", settings.length_name = "scroll_last";
      const std::string name = std::string(format_description(format).name) + (hex ? "_hex" : "") +
                               (msb_top ? "_msbtop" : "") + (leads ? "_leads" : "") +
                               (names ? "_names" : "") + (art ? "_art" : "");
      rows.push_back({name, kText, settings});
    }
  }
  // The nearest names to those the output's includes and compilers reserve: each compiles and
  // reads back as any other.
  using Names = std::vector<std::pair<std::string, std::string>>;
  const Names near_c = {{"int8", "uint64"},    {"sizes", "main_"}, {"typeof_", "INT8_MAXIMUM"},
                        {"LINE__", "PGM_P1"},  {"words", "PRIZE"}, {"prog", "bytes"},
                        {"PORTB_text", "sreg"}};
  const Names near_python = {
      {"bytes_", "length"}, {"bytearray2", "lambda_"}, {"Framebuf", "__name"}};
  for (const OutputFormat format : {OutputFormat::kClassic, OutputFormat::kProgmem,
                                    OutputFormat::kC, OutputFormat::kMicroPython}) {
    for (const auto& [array, length] :
         format == OutputFormat::kMicroPython ? near_python : near_c) {
      rows.push_back({std::string(format_description(format).name) + "_" + array + "_" + length,
                      kText,
                      {.format = format, .array_name = array, .length_name = length}});
    }
  }
  // A tuple of one value needs its comma in Python.
  rows.push_back(
      {"micropython_one_element", "", {.format = OutputFormat::kMicroPython, .lead_in = 0}});
  return rows;
}

class CompiledOutput : public ::testing::TestWithParam<Row> {};

TEST_P(CompiledOutput, ReadsBackTheSampledColumns) {
  const OutputSettings& settings = GetParam().settings;
  const std::string_view text = GetParam().text;
  const std::string output = output_of(text, settings);
  const std::vector<unsigned> array = expected_array(text, settings);
  const std::string& name = settings.array_name;
  const std::string& length = settings.length_name;
  const TemporaryDirectory scratch;
  // What marquee8 writes, marquee8 reads.
  const std::vector<std::uint8_t> read_back = read_columns(output, {});
  EXPECT_EQ(std::vector<unsigned>(read_back.begin(), read_back.end()), array);

  if (settings.format == OutputFormat::kMicroPython) {
    write_file(scratch.path() / "array.py",
               output + "print(' '.join(str(v) for v in " + name + "), '|', " + length + ")\n");
    const CommandResult run = run_command(PYTHON3 " " + (scratch.path() / "array.py").string());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, printed(array));
    return;
  }

  if (settings.format == OutputFormat::kProgmem) {
    // Read as firmware reads it, which also keeps C++'s internal array in the object. C checks
    // the size; C++ also the length's value, a constant expression there.
    const std::string count = std::to_string(array.size());
    const std::string reader =
        "uint8_t column(unsigned i);\nuint8_t column(unsigned i) {\n"
        "  return pgm_read_byte(&" +
        name + "[i]);\n}\n";
    const std::vector<std::pair<std::string, std::string>> languages = {
        {"c -std=gnu11",
         reader + "_Static_assert(sizeof " + name + " == " + count + ", \"size\");\n"},
        {"c++ -std=gnu++11", reader + "static_assert(sizeof " + name + " == " + count + " && " +
                                 length + " == " + count + " - 1, \"size\");\n"}};
    for (const auto& [language, check] : languages) {
      SCOPED_TRACE(language);
      const auto source = scratch.path() / "array.src";
      write_file(source, output + check);
      const auto object = scratch.path() / "array.o";
      const CommandResult compiled =
          run_command(AVR_GCC " -mmcu=atmega328p -Os -Wall -Wextra -Werror -x " + language +
                      " -c " + source.string() + " -o " + object.string());
      ASSERT_EQ(compiled.status, 0) << compiled.output << output;
      EXPECT_EQ(flash_bytes(object, ".progmem.data", name), array);
    }
    return;
  }

  // A host program prints what it compiled; Arduino's byte is an 8-bit unsigned type.
  const std::string program = "#include <stdio.h>\n#include <stdint.h>\ntypedef uint8_t byte;\n" +
                              output +
                              "int main(void) {\n"
                              "  for (unsigned i = 0; i < sizeof " +
                              name + "; ++i) printf(\"%u \", " + name +
                              "[i]);\n"
                              "  printf(\"| %lu\\n\", (unsigned long)" +
                              length +
                              ");\n"
                              "  return 0;\n}\n";
  for (const char* compiler : {"gcc -x c", "g++ -x c++", CLANG " -x c", CLANG " -x c++"}) {
    SCOPED_TRACE(compiler);
    const auto source = scratch.path() / "array.src";
    const auto binary = scratch.path() / "array";
    write_file(source, program);
    const CommandResult compiled = run_command(std::string(compiler) + " -Wall -Wextra -Werror " +
                                               source.string() + " -o " + binary.string());
    ASSERT_EQ(compiled.status, 0) << compiled.output << output;
    const CommandResult run = run_command(binary.string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, printed(array));
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, CompiledOutput, ::testing::ValuesIn(every_combination()),
                         [](const auto& info) { return info.param.name; });

// Names the output's own includes declare or reserve, and those compilers keep for themselves:
// the output would not compile, or would mean something else.
TEST(CompiledOutput, NamesTheOutputCannotCarryAreRefused) {
  const char* c_names[] = {
      "int8_t",  "int64_t",       "uint64_t", "uint_least8_t", "size_t",     "main",
      "typeof",  "INT8_MAX",      "UINT16_C", "SIZE_MAX",      "__LINE__",   "__x",
      "_Bool",   "_Private",      "_low",     "PGM_P",         "prog_uchar", "prog_uint8_t",
      "PROGMEM", "pgm_read_byte", "strcpy_P", "PRId8",         "word",       "byte",
      "boolean", "setup",         "loop",     "HIGH",          "unsigned",   "char"};
  const char* python_names[] = {"bytes",    "bytearray", "len",  "framebuf",
                                "__name__", "lambda",    "None", "import"};
  const auto refused = [](OutputFormat format, const char* name) {
    for (const bool as_length : {false, true}) {
      OutputSettings settings{.format = format};
      (as_length ? settings.length_name : settings.array_name) = name;
      const std::optional<std::string> problem = settings_problem(settings);
      ASSERT_TRUE(problem) << name << (as_length ? " as the length" : " as the array") << " in "
                           << format_description(format).name;
      EXPECT_THAT(*problem, HasSubstr(std::string("'") + name + "' is "));
    }
  };
  for (const OutputFormat format :
       {OutputFormat::kClassic, OutputFormat::kProgmem, OutputFormat::kC}) {
    for (const char* name : c_names) refused(format, name);
  }
  for (const char* name : python_names) refused(OutputFormat::kMicroPython, name);
}

// <avr/pgmspace.h> brings in <avr/io.h>, whose registers, bits and vectors are macros that differ
// from chip to chip: every one avr-gcc defines for these chips is refused, and an array named
// after one does not compile there.
TEST(CompiledOutput, EveryAvrRegisterAndBitNameIsRefused) {
  const TemporaryDirectory scratch;
  const auto header = scratch.path() / "includes.h";
  write_file(header, "#include <avr/pgmspace.h>\n");
  for (const char* chip : {"atmega328p", "atmega2560", "atmega32u4", "attiny85", "atmega1284p",
                           "atxmega128a1", "at90usb1286"}) {
    SCOPED_TRACE(chip);
    const CommandResult defined =
        run_command(std::string(AVR_GCC " -dM -E -x c -mmcu=") + chip + " " + header.string());
    ASSERT_EQ(defined.status, 0) << defined.output;
    std::istringstream lines(defined.output);
    std::size_t object_like = 0;
    for (std::string define, name, rest; lines >> define >> name && std::getline(lines, rest);) {
      if (name.find('(') != std::string::npos) continue;  // not expanded without its arguments
      ++object_like;
      EXPECT_TRUE(settings_problem({.format = OutputFormat::kProgmem, .array_name = name}))
          << name << " is accepted";
    }
    EXPECT_GT(object_like, 300u);
  }
  for (const char* name : {"PORTB", "SREG", "PB0", "TCCR1A", "UDR0", "SPDR"}) {
    const auto source = scratch.path() / "named.c";
    write_file(source, std::string("#include <avr/pgmspace.h>\nconst uint8_t ") + name +
                           "[] PROGMEM = {1};\n");
    EXPECT_NE(run_command(AVR_GCC " -mmcu=atmega328p -c -o /dev/null " + source.string()).status, 0)
        << name << " compiles";
  }
}

// A program that reads every byte of the array with READ(x), so that none is dropped.
constexpr std::string_view kReadAll =
    "int main(void) {\n  uint8_t sum = 0;\n"
    "  for (unsigned i = 0; i <= slen; ++i) sum += READ(a[i]);\n"
    "  return sum;\n}\n";

// An Uno's 2 KB of RAM: the classic array is copied there at start-up, PROGMEM's stays in flash.
TEST(CompiledOutput, OnlyProgmemFitsALongMessageOnAnUno) {
  const TemporaryDirectory scratch;
  const auto link = [&](const OutputSettings& settings, std::size_t length, const char* read) {
    const std::string text(length, 'W');
    write_file(scratch.path() / "main.c",
               "#include <stdint.h>\ntypedef uint8_t byte;\n#define READ(x) " + std::string(read) +
                   "\n" + output_of(text, settings) + std::string(kReadAll));
    return run_command(AVR_GCC " -mmcu=atmega328p -Os " + (scratch.path() / "main.c").string() +
                       " -o " + (scratch.path() / "main.elf").string());
  };

  const CommandResult classic = link({}, 400, "(x)");
  EXPECT_NE(classic.status, 0) << "400 characters of classic array linked for a 2 KB Uno";
  EXPECT_THAT(classic.output, HasSubstr("not within region `data'"));

  OutputSettings progmem;
  progmem.format = OutputFormat::kProgmem;
  const CommandResult flash = link(progmem, 1000, "pgm_read_byte(&(x))");
  ASSERT_EQ(flash.status, 0) << flash.output;
  EXPECT_EQ(flash_bytes(scratch.path() / "main.elf", ".text", "a"),
            expected_array(std::string(1000, 'W'), progmem));
}

// Where an AVR stops taking a PROGMEM array, the status warns, and not before: avr-gcc refuses
// one object past 32,767 bytes on every AVR, and an Uno's flash beside its 512-byte bootloader
// cannot hold more than 32,256 bytes however small the sketch. A text of n characters and
// lead-out l is 8 + 6n + 1 + l bytes.
struct AvrLimit {
  std::size_t characters;
  int lead_out;
  std::string build;    // avr-gcc's options and what it builds
  bool fails;           // whether avr-gcc refuses it
  std::string warning;  // in what the status warns; "" for no warning
};

TEST(CompiledOutput, TheAvrLimitsAreWhereTheStatusWarns) {
  // A whole program on an Uno with optiboot: the flash its ld script has, less the bootloader.
  const std::string uno = "-mmcu=atmega328p -Os -Wl,--defsym=__TEXT_REGION_LENGTH__=32256 -o";
  const std::string object = "avr-gcc lets one array have on any AVR board";
  const std::string flash = "bytes of flash an Uno or a Nano has for a whole sketch";
  const AvrLimit rows[] = {
      {5459, 4, "-mmcu=atmega328p -c -o", false, flash},  // 32,767 bytes
      {5459, 5, "-mmcu=atmega328p -c -o", true, object},
      {5459, 4, "-mmcu=atmega2560 -c -o", false, flash},
      {5459, 5, "-mmcu=atmega2560 -c -o", true, object},
      {5165, 1, uno, false, ""},    // 31,000 bytes: a small sketch still fits
      {5374, 4, uno, true, flash},  // 32,257 bytes
  };
  const TemporaryDirectory scratch;
  for (const AvrLimit& row : rows) {
    OutputSettings progmem;
    progmem.format = OutputFormat::kProgmem;
    progmem.lead_out = row.lead_out;
    const std::string text(row.characters, 'W');
    const StatusFigures figures = status_figures(progmem, 6 * text.size() + 1);
    SCOPED_TRACE(std::to_string(figures.array_bytes) + " bytes, " + row.build);
    write_file(
        scratch.path() / "array.c",
        output_of(text, progmem) + "#define READ(x) pgm_read_byte(&(x))\n" + std::string(kReadAll));
    const CommandResult built = run_command(AVR_GCC " " + row.build + " /dev/null " +
                                            (scratch.path() / "array.c").string());
    EXPECT_EQ(built.status != 0, row.fails) << built.output;
    const std::vector<std::string> warnings = status_warnings(figures);
    if (row.warning.empty()) {
      EXPECT_TRUE(warnings.empty());
    } else {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_THAT(warnings[0], HasSubstr(row.warning));
    }
  }
}

}  // namespace
}  // namespace marquee8::testing
