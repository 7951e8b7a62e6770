#include "array_reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "array_writer.h"
#include "conversion_error.h"
#include "format_registry.h"
#include "output_settings.h"

namespace marquee8 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Pairs of a value and its bits reversed, so that every column has a known msb_top value.
constexpr std::pair<std::uint8_t, std::uint8_t> kMirrored[] = {
    {0x01, 0x80}, {0x03, 0xC0}, {0x0F, 0xF0}, {0x12, 0x48}, {0x36, 0x6C},
    {0xFF, 0xFF}, {0x00, 0x00}, {0x5A, 0x5A}, {0x29, 0x94}, {0x7F, 0xFE}};

struct Columns {
  Bytes lsb_top;
  Bytes msb_top;
};

// One column, and more than two lines' worth with both halves of every pair in it.
std::vector<Columns> column_sets() {
  Columns many;
  for (int repeat = 0; repeat < 2; ++repeat) {
    for (const auto& [value, reversed] : kMirrored) {
      many.lsb_top.insert(many.lsb_top.end(), {value, reversed});
      many.msb_top.insert(many.msb_top.end(), {reversed, value});
    }
  }
  return {{{0x12}, {0x48}}, many};
}

TEST(ArrayReader, ReadsBackEveryTextTheWriterWrites) {
  const std::pair<int, int> leads[] = {{0, 0}, {8, 0}, {0, 3}, {2, 17}};
  const std::pair<const char*, const char*> names[] = {
      {"a", "slen"}, {"scroll", "scroll_last"}, {"m8_", "n"}};
  int cases = 0;
  for (const ArrayFormat* entry : array_formats()) {
    const OutputFormat format = entry->description().format;
    if (!entry->description().text) continue;
    for (const bool hex : {false, true}) {
      for (const bool msb_top : {false, true}) {
        for (const bool art : {false, true}) {
          for (const auto& [lead_in, lead_out] : leads) {
            for (const auto& [array_name, length_name] : names) {
              for (const Columns& columns : column_sets()) {
                const OutputSettings settings{format,   hex,        msb_top,     lead_in,
                                              lead_out, array_name, length_name, art};
                StringSink text;
                ArrayWriter writer(settings, columns.lsb_top.size(), text, columns.lsb_top);
                writer.add(columns.lsb_top);
                writer.finish();
                Bytes written(lead_in, 0);
                const Bytes& values = msb_top ? columns.msb_top : columns.lsb_top;
                written.insert(written.end(), values.begin(), values.end());
                written.resize(written.size() + lead_out, 0);
                EXPECT_EQ(read_array(text.text()), written) << text.text();
                ++cases;
              }
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(cases, 768);
}

TEST(ArrayReader, ReadsTheGoldenOutputsAsTheirRawBytes) {
  const auto slurp = [](const std::string& name) {
    std::ifstream file(std::string(GOLDEN_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  };
  const std::string raw = slurp("825710.raw");
  ASSERT_FALSE(raw.empty());
  for (const char* name : {"825710.txt", "825710.c", "825710.progmem", "825710.micropython"}) {
    EXPECT_EQ(read_array(slurp(name)), Bytes(raw.begin(), raw.end())) << name;
  }
}

TEST(ArrayReader, ReadsHandWrittenArrays) {
  const std::pair<const char*, Bytes> cases[] = {
      {"const byte a[] PROGMEM = {B0, B1, B00000001, B11111111, B1010};", {0, 1, 1, 255, 10}},
      {"static const unsigned char m[5] = { 10u, 0x1F, 0XffUL, 017, 0b101, };",
       {10, 31, 255, 15, 5}},
      {"#include <Arduino.h>\n#pragma once\n/* \"Hi\"\n */ constexpr uint8_t PROGMEM hi[] = { // "
       "H\n"
       "  0x7F, /* bar */ 8, 0x7F};\nint slen= 2;\n",
       {127, 8, 127}},
      {"const uint16_t n = 45;\n#include <avr/pgmspace.h>\nprog_uchar a[1] = {0};\nlong last = "
       "0UL;",
       {0}},
      {"prog_uint8_t a[]={0, 00, 0007};", {0, 0, 7}},
      {"a = bytes((0, 00, 0o17, 0O17, 0x0F, 0B11, 9))", {0, 0, 15, 15, 15, 3, 9}},
      {"# the text\nslen = 2\n\nmsg = bytearray([  # inside\n 1,\n 2, 3])  # after\n", {1, 2, 3}},
      {"a = bytes([5])", {5}},
      {"a=bytearray((5,))\r\n", {5}},
  };
  for (const auto& [text, values] : cases) EXPECT_EQ(read_array(text), values) << text;
}

// A whole sketch, header or module: the rest of the code is passed over, comments, strings
// and directives that could hide a declaration included, and the array named is read.
TEST(ArrayReader, ReadsTheArrayOutOfAWholeSource) {
  const struct {
    const char* text;
    std::optional<std::string> name;
    Bytes values;
  } cases[] = {
      {"#include <LedControl.h>\nLedControl lc = LedControl(12, 11, 10, 1);\nbyte a[]={1, 2};\n"
       "void setup() { lc.shutdown(0, false); }\nvoid loop() {}\n",
       {},
       {1, 2}},
      {"const char* s = \"byte x[] = {9};\"; // byte y[] = {9};\n/* byte z[]={9}; */\n"
       "char c = '{';\nstruct P { byte q[2] = {9, 9}; };\nstatic const uint8_t PROGMEM m[] = {3};",
       {},
       {3}},
      {"// carried on \\\nbyte hidden[] = {9};\n#define X \\\n byte y[] = {9};\nbyte a[]={4};",
       {},
       {4}},
      {"byte a[]={1};\nbyte b[2]={2, 3};\nvoid f() {}", "b", {2, 3}},
      {"byte a[]={1};\nfloat n = 1;", {}, {1}},
      {"byte a[]={1};\nint a = 1;", {}, {1}},
      {"#include <x> y\nbyte a[]={1}; x", "a", {1}},
      {"import framebuf\n\ndef show(f):\n    x = bytes((9,))\n\nframe = bytearray([\n  5, 6])\n"
       "s = \"\"\"\nb = bytes((9,))\n\"\"\"\nshow(frame)\n",
       {},
       {5, 6}},
      {"a = bytes((1,))\n  n = 2", {}, {1}},
      // An only array is read whatever the name asks: the name is then the one written.
      {"void f() {}\nbyte a[]={1};", "b", {1}},
      {"byte a[]={1};", "b", {1}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_array(c.text, c.name), c.values) << c.text;
}

TEST(ArrayReader, RefusesWhatIsNotExactlyOneByteArray) {
  const struct {
    const char* text;
    const char* where;
    const char* says;
    std::optional<std::string> name = {};
  } cases[] = {
      {"", "line 1, column 1: ", "no array found"},
      {"// nothing\nint a = 5;", "line 2, column 11: ", "no array found"},
      {"#include <x> /*\n*/ byte a[]={1};", "line 2, column 4: ", "end of the #include line"},
      {"byte a[]={1};\nbyte b[]={2};",
       "line 2, column 1: ", "2 byte arrays: 'a' (line 1), 'b' (line 2); choose one by its name"},
      {"a = bytes((1,))\nb = bytes((2,))", "line 2, column 1: ", "2 byte arrays"},
      {"a = bytes((1,))\na = 5", "line 1, column 1: ", "'a' is assigned twice"},
      {"bytes = 5\na = bytes((1,))",
       "line 2, column 1: ", "'bytes' is assigned a value here, which could change what 'a' means"},
      {"byte a[]={0, 256};", "line 1, column 14: ", "256 is more than a byte holds"},
      {"byte a[]={0x100};", "line 1, column 11: ", "0x100 is more than a byte holds"},
      {"byte a[]={-1};", "line 1, column 11: ", "never negative"},
      {"byte a[]={'A'};", "line 1, column 11: ", "character"},
      {"a = bytes(b'A')", "line 1, column 11: ", "expected '(' or '['"},
      {"byte a[]={1.5};", "line 1, column 11: ", "1.5 is not an integer"},
      {"byte a[]={0x};", "line 1, column 11: ", "0x is not an integer"},
      {"byte a[]={08};", "line 1, column 11: ", "08 is not an integer"},
      {"byte a[]={1uu};", "line 1, column 11: ", "1uu is not an integer"},
      {"byte a[]={0o17};", "line 1, column 11: ", "0o17 is not an integer"},
      {"byte a[]={x};", "line 1, column 11: ", "'x' is a name"},
      {"byte a[]={B101010101};", "line 1, column 11: ", "is a name"},
      {"a = bytes((B1,))", "line 1, column 12: ", "is a name"},
      {"a = bytes((07,))", "line 1, column 12: ", "Python 3 refuses"},
      {"a = bytes((5))", "line 1, column 11: ", "not a tuple"},
      {"byte a[]={1}; /* open", "line 1, column 15: ", "never closed"},
      {"byte a[]={1, 2;", "line 1, column 15: ", "expected ',' or '}'"},
      {"byte a[]={1}", "line 1, column 13: ", "expected ';'"},
      {"a = bytes((1,)) x", "line 1, column 17: ", "expected the end of the line"},
      {"byte a[]={};", "line 1, column 11: ", "empty"},
      {"a = bytes([])", "line 1, column 12: ", "empty"},
      {"#define N 3\nbyte a[N]={1,2,3};", "line 1, column 1: ", "a macro could change"},
      {" #ifdef X\nbyte a[]={1};", "line 2, column 1: ", "inside #if, #ifdef or #ifndef"},
      {"#define B1 7\nbyte a[]={B1};", "line 2, column 1: ", "#define B1 could change"},
      // A comment never closed leaves the rest unknown: the file is refused as it reads.
      {"#ifdef X\n#endif /* open\nbyte a[]={1};", "line 1, column 1: ", "#ifdef is refused"},
      {"byte a[N]={1};", "line 1, column 8: ", "a name as the size"},
      {"byte a[3]={1,2};", "line 1, column 8: ", "fill the rest with zeros"},
      {"byte a[1]={1,2};", "line 1, column 8: ", "not the 2 values"},
      {"char a[]={1};", "line 1, column 1: ", "char may be signed"},
      {"const int8_t a[]={1};", "line 1, column 7: ", "'int8_t' is no byte"},
      {"unsigned char[]={1};", "line 1, column 10: ", "expected a name"},
      {"// ends in \\ \nbyte a[]={1};", "line 1, column 12: ", "backslash"},
      {"#pragma x \\\nbyte a[]={1};", "line 1, column 11: ", "carried on"},
      {"byte a[]={1};\r int n = 1;", "line 1, column 14: ", "carriage return"},
      {"\xC3\xA9 byte a[1];", "line 1, column 1: ", "unexpected byte 0xC3"},
      // In a whole source: the one named, and none that another name could change.
      {"int n = f();\nbyte a[]={1};\nbyte b[]={2};\nbyte a[]={3};",
       "line 4, column 1: ", "'a' is declared twice", "a"},
      {"void f() {}\nbyte a[]={1};\nbyte c[]={2};", "line 1, column 1: ",
       "no byte array named 'b'; the text holds 'a' (line 2), 'c' (line 3)", "b"},
      {"void f() {}\nbyte a[]={1, 300};", "line 2, column 14: ", "300 is more than a byte"},
  };
  for (const auto& c : cases) {
    try {
      read_array(c.text, c.name);
      ADD_FAILURE() << "read: " << c.text;
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.kind(), ConversionError::Kind::kUnreadableArray);
      const std::string message = error.what();
      EXPECT_TRUE(message.starts_with(c.where)) << c.text << "\n" << message;
      EXPECT_NE(message.find(c.says), std::string::npos) << c.text << "\n" << message;
    }
  }
}

}  // namespace
}  // namespace marquee8
