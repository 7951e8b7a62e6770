#include "array_reader.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <optional>
#include <set>
#include <span>
#include <string>

#include "array_finder.h"
#include "conversion_error.h"
#include "reserved_names.h"
#include "source_words.h"

namespace marquee8 {

namespace {

constexpr auto npos = std::string_view::npos;

enum class Language { kC, kPython };

// The pieces of a message in one string. (GCC 12 warns, wrongly, of "literal" + std::string.)
std::string joined(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (const std::string_view piece : pieces) text += piece;
  return text;
}

// A piece of the text as a message quotes it: a fuzzed number can be thousands of digits.
std::string shown(std::string_view text) {
  constexpr std::size_t kShown = 24;
  return text.size() > kShown ? std::string(text.substr(0, kShown)) + "..." : std::string(text);
}

// "0x1F", as a message names a byte.
std::string hex_byte(char byte) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  const auto value = static_cast<unsigned char>(byte);
  return {'0', 'x', kHex[value / 16], kHex[value % 16]};
}

// The text being read, which knows how to say where in it something went wrong.
class Source {
 public:
  explicit Source(std::string_view text) : text_(text) {}

  std::string_view text() const { return text_; }

  [[noreturn]] void fail(std::size_t offset, const std::string& message) const {
    const std::string_view before = text_.substr(0, offset);
    const auto line = std::count(before.begin(), before.end(), '\n') + 1;
    const std::size_t line_start = before.rfind('\n');
    const std::string_view line_before = before.substr(line_start == npos ? 0 : line_start + 1);
    // Characters, as an editor counts them: a UTF-8 sequence is one, and so is a stray byte.
    std::size_t column = 1;
    for (std::size_t i = 0; i < line_before.size(); ++i) {
      const bool continues = i > 0 && (static_cast<unsigned char>(line_before[i]) & 0xC0) == 0x80 &&
                             (static_cast<unsigned char>(line_before[i - 1]) & 0x80) != 0;
      if (!continues) ++column;
    }
    throw ConversionError(ConversionError::Kind::kUnreadableArray,
                          joined({"line ", std::to_string(line), ", column ",
                                  std::to_string(column), ": ", message}));
  }

 private:
  std::string_view text_;
};

enum class TokenKind { kWord, kNumber, kSymbol, kLineEnd, kEnd };

struct Token {
  TokenKind kind;
  std::string_view text;
  std::size_t offset;

  bool is(char symbol) const { return kind == TokenKind::kSymbol && text.front() == symbol; }
  bool is_word(std::string_view word) const { return kind == TokenKind::kWord && text == word; }
};

std::string describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::kEnd:
      return "the end of the text";
    case TokenKind::kLineEnd:
      return "the end of the line";
    default:
      return joined({"'", shown(token.text), "'"});
  }
}

// Splits the text into words, numbers and single symbols, passing over blanks and comments as
// the language does. A Python line end outside brackets ends a statement, so it is a token.
class Lexer {
 public:
  // Reads the text from `begin` to `end`; offsets stay the whole text's, for the messages.
  Lexer(const Source& source, Language language, std::size_t begin, std::size_t end)
      : source_(source), text_(source.text().substr(0, end)), language_(language), pos_(begin) {}

  Token next();

 private:
  bool starts(std::string_view prefix) const { return text_.substr(pos_).starts_with(prefix); }
  std::size_t end_of_line() const { return std::min(text_.find('\n', pos_), text_.size()); }
  std::optional<Token> skip_blank();
  void skip_line_comment();
  void skip_block_comment();
  void skip_directive();
  void skip_included_file();
  Token take(TokenKind kind, std::size_t end);

  const Source& source_;
  std::string_view text_;
  Language language_;
  std::size_t pos_;
  int depth_ = 0;               // open brackets, inside which a Python statement goes on
  bool line_has_code_ = false;  // so a C '#' is no directive, and a Python line end ends one
};

Token Lexer::next() {
  if (const auto line_end = skip_blank()) return *line_end;
  if (pos_ == text_.size()) return {TokenKind::kEnd, {}, pos_};
  const bool statement_start = !line_has_code_ && depth_ == 0;
  line_has_code_ = true;
  if (language_ == Language::kPython && statement_start && pos_ != 0 && text_[pos_ - 1] != '\n') {
    source_.fail(pos_, "unexpected indent: a statement starts its line");
  }
  const char c = text_[pos_];
  const auto word_end = [&](std::string_view more) {
    std::size_t end = pos_ + 1;
    while (end < text_.size() &&
           (is_letter(text_[end]) || is_digit(text_[end]) || more.find(text_[end]) != npos)) {
      ++end;
    }
    return end;
  };
  // A number runs on through letters and dots, so that 1.5 or 12abc is refused whole.
  if (is_digit(c)) return take(TokenKind::kNumber, word_end("."));
  if (is_letter(c)) return take(TokenKind::kWord, word_end(""));
  if (c > ' ' && c < '\x7F') {
    if (c == '(' || c == '[' || c == '{') ++depth_;
    if ((c == ')' || c == ']' || c == '}') && depth_ > 0) --depth_;
    return take(TokenKind::kSymbol, pos_ + 1);
  }
  source_.fail(pos_, "unexpected byte " + hex_byte(c));
}

std::optional<Token> Lexer::skip_blank() {
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (c == '\n') {
      const bool ends_statement = language_ == Language::kPython && line_has_code_ && depth_ == 0;
      if (language_ == Language::kC || ends_statement) line_has_code_ = false;
      if (ends_statement) return take(TokenKind::kLineEnd, pos_ + 1);
      ++pos_;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
      ++pos_;
    } else if (language_ == Language::kPython) {
      if (c != '#') break;
      pos_ = end_of_line();
    } else if (starts("//")) {
      skip_line_comment();
    } else if (starts("/*")) {
      skip_block_comment();
    } else if (c == '#' && !line_has_code_) {
      skip_directive();
    } else {
      break;
    }
  }
  return std::nullopt;
}

void Lexer::skip_line_comment() {
  const std::size_t end = end_of_line();
  const std::size_t last = text_.find_last_not_of(" \t\r", end - 1);
  if (text_[last] == '\\') {
    source_.fail(last, "a // comment ending in a backslash carries on into the next line");
  }
  pos_ = end;
}

void Lexer::skip_block_comment() {
  const std::size_t end = text_.find("*/", pos_ + 2);
  if (end == npos) source_.fail(pos_, "this comment is never closed");
  pos_ = end + 2;
}

// #include and #pragma say nothing about the array; any other directive could change it.
void Lexer::skip_directive() {
  const std::size_t hash = pos_;
  const std::size_t name = std::min(text_.find_first_not_of(" \t", pos_ + 1), text_.size());
  pos_ = name;
  // Compilers take bytes past ASCII into identifiers: #include\xC3\xA9 is no #include.
  while (pos_ < text_.size() && (is_letter(text_[pos_]) || is_digit(text_[pos_]) ||
                                 static_cast<unsigned char>(text_[pos_]) >= 0x80)) {
    ++pos_;
  }
  const std::string_view directive = text_.substr(name, pos_ - name);
  if (directive == "define") {
    source_.fail(hash, "#define is refused: a macro could change what the array means");
  }
  if (directive == "include") {
    skip_included_file();
  } else if (directive != "pragma") {
    source_.fail(
        hash, joined({"#", shown(directive), " is refused: only #include and #pragma are read"}));
  }
  // The rest of the line, which a comment may carry on into the next ones.
  while (pos_ < text_.size() && text_[pos_] != '\n') {
    const char c = text_[pos_];
    if (starts("/*")) {
      skip_block_comment();
    } else if (starts("//")) {
      skip_line_comment();
    } else if (directive == "include" && c != ' ' && c != '\t' && c != '\r') {
      source_.fail(pos_, "expected the end of the #include line");
    } else {
      const std::size_t after = c == '\\' ? text_.find_first_not_of(" \t\r", pos_ + 1) : npos;
      if (after != npos && text_[after] == '\n') {
        source_.fail(pos_, "a directive carried on into the next line is not read");
      }
      ++pos_;
    }
  }
}

void Lexer::skip_included_file() {
  pos_ = std::min(text_.find_first_not_of(" \t", pos_), text_.size());
  const char open = pos_ < text_.size() ? text_[pos_] : '\0';
  const std::size_t close = open == '<'   ? text_.find('>', pos_ + 1)
                            : open == '"' ? text_.find('"', pos_ + 1)
                                          : npos;
  if (close == npos || close > end_of_line() || close == pos_ + 1) {
    source_.fail(pos_, "expected <file> or \"file\" after #include");
  }
  pos_ = close + 1;
}

Token Lexer::take(TokenKind kind, std::size_t end) {
  const Token token{kind, text_.substr(pos_, end - pos_), pos_};
  pos_ = end;
  return token;
}

// The readers' view of the tokens: one of lookahead, and the errors about it.
class Tokens {
 public:
  Tokens(const Source& source, Language language, std::size_t begin, std::size_t end,
         const ReadingProgress& progress)
      : source_(source),
        language_(language),
        progress_(progress),
        lexer_(source, language, begin, end),
        next_(lexer_.next()) {}

  const Source& source() const { return source_; }
  Language language() const { return language_; }
  const Token& peek() const { return next_; }

  Token take() {
    const Token token = next_;
    next_ = lexer_.next();
    if (progress_ && next_.offset >= next_report_) {
      next_report_ = next_.offset + kReportEvery;
      progress_(next_.offset, source_.text().size());
    }
    return token;
  }
  bool take_if(char symbol) {
    if (!next_.is(symbol)) return false;
    take();
    return true;
  }
  void expect(char symbol) {
    if (!take_if(symbol)) fail_expected(std::string("'") + symbol + "'");
  }

  [[noreturn]] void fail(const Token& token, const std::string& message) const {
    source_.fail(token.offset, message);
  }
  [[noreturn]] void fail_expected(const std::string& what) const {
    fail(next_, joined({"expected ", what, ", found ", describe(next_)}));
  }

 private:
  static constexpr std::size_t kReportEvery = 64 * 1024;

  const Source& source_;
  Language language_;
  const ReadingProgress& progress_;
  std::size_t next_report_ = kReportEvery;
  Lexer lexer_;
  Token next_;
};

int digit_value(char c) {
  if (is_digit(c)) return c - '0';
  const char lower = static_cast<char>(c | 0x20);
  return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : 99;
}

// C's integer suffixes, in every order and case the language allows.
constexpr std::string_view kCSuffixes[] = {"u",   "U",   "l",   "L",   "ul",  "uL", "Ul",  "UL",
                                           "lu",  "lU",  "Lu",  "LU",  "ll",  "LL", "ull", "uLL",
                                           "Ull", "ULL", "llu", "llU", "LLu", "LLU"};

// The value of an integer literal as the language writes it. Past the largest std::uint64_t it
// stays there: beyond a byte, only that the number is too large matters.
std::uint64_t integer_value(const Tokens& tokens, const Token& token) {
  const bool c = tokens.language() == Language::kC;
  const std::string not_integer = shown(token.text) + " is not an integer";
  std::string_view digits = token.text;
  if (c) {
    // A number token starts with a digit, so some of it is left before the suffix.
    const std::size_t suffix = digits.find_last_not_of("uUlL") + 1;
    if (suffix != digits.size() && !contains(kCSuffixes, digits.substr(suffix))) {
      tokens.fail(token, not_integer);
    }
    digits = digits.substr(0, suffix);
  }
  int base = 10;
  if (digits.size() > 1 && digits[0] == '0') {
    const char prefix = static_cast<char>(digits[1] | 0x20);
    if (prefix == 'x' || prefix == 'b' || (prefix == 'o' && !c)) {
      base = prefix == 'x' ? 16 : prefix == 'b' ? 2 : 8;
      digits.remove_prefix(2);
    } else if (c) {
      base = 8;
      digits.remove_prefix(1);
    } else if (digits.find_first_not_of('0') != npos) {
      tokens.fail(token,
                  shown(token.text) + " starts with 0, which Python 3 refuses: write 0o for octal");
    }
  }
  if (digits.empty()) tokens.fail(token, not_integer);
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char digit_char : digits) {
    const int digit = digit_value(digit_char);
    if (digit >= base) tokens.fail(token, not_integer);
    value = value > (kMax - digit) / base ? kMax : value * base + digit;
  }
  return value;
}

// Arduino's binary constants: B followed by one to eight binary digits.
std::optional<std::uint8_t> arduino_binary(std::string_view word) {
  if (word.size() < 2 || word.size() > 9 || word[0] != 'B') return std::nullopt;
  std::uint8_t value = 0;
  for (const char digit : word.substr(1)) {
    if (digit != '0' && digit != '1') return std::nullopt;
    value = static_cast<std::uint8_t>(value << 1 | (digit - '0'));
  }
  return value;
}

std::uint8_t byte_value(Tokens& tokens) {
  const Token token = tokens.take();
  if (token.kind == TokenKind::kNumber) {
    const std::uint64_t value = integer_value(tokens, token);
    if (value > 0xFF) tokens.fail(token, shown(token.text) + " is more than a byte holds");
    return static_cast<std::uint8_t>(value);
  }
  if (token.kind == TokenKind::kWord) {
    if (tokens.language() == Language::kC) {
      if (const auto value = arduino_binary(token.text)) return *value;
    }
    tokens.fail(token, describe(token) + " is a name, not a number");
  }
  if (token.is('-')) tokens.fail(token, "a byte is never negative");
  if (token.is('\'')) tokens.fail(token, "a character is not read as a value: write its number");
  if (token.is('"')) tokens.fail(token, "a string is not read as values: write the numbers");
  tokens.fail(token, joined({"expected a value, found ", describe(token)}));
}

struct Elements {
  std::vector<std::uint8_t> values;
  bool trailing_comma = false;
};

// Comma-separated values up to `close`, after the opening bracket.
Elements read_elements(Tokens& tokens, char close) {
  if (tokens.peek().is(close)) tokens.fail(tokens.peek(), "the array is empty");
  Elements elements;
  for (;;) {
    elements.values.push_back(byte_value(tokens));
    if (tokens.take_if(close)) return elements;
    if (!tokens.take_if(',')) tokens.fail_expected(std::string("',' or '") + close + "'");
    if (tokens.take_if(close)) {
      elements.trailing_comma = true;
      return elements;
    }
  }
}

// The writer's rule: every word the reader takes for a type is reserved too, so a declaration's
// last word is its name exactly when that word is no reserved one.
void check_name(const Tokens& tokens, const Token& name) {
  const NameLanguage language =
      tokens.language() == Language::kC ? NameLanguage::kC : NameLanguage::kPython;
  if (const auto why = reserved_because(name.text, language)) {
    tokens.fail(name, joined({"expected a name, found ", describe(name), ", which is ", *why}));
  }
}

// Each name is declared once: Python would let a second declaration replace the first, and C
// refuses it.
class Names {
 public:
  void declare(const Tokens& tokens, const Token& name) {
    if (!names_.insert(name.text).second) tokens.fail(name, describe(name) + " is declared twice");
  }

 private:
  std::set<std::string_view> names_;
};

[[noreturn]] void fail_second_array(const Tokens& tokens, const Token& name) {
  tokens.fail(name, joined({"a second array '", shown(name.text), "': only one is read"}));
}

// Any mix of these names an integer type, as do the names after them.
constexpr std::string_view kIntegerWords[] = {"signed", "unsigned", "short", "int", "long"};
constexpr std::string_view kIntegerTypes[] = {"byte",     "word",     "size_t",   "uint8_t",
                                              "uint16_t", "uint32_t", "uint64_t", "int8_t",
                                              "int16_t",  "int32_t",  "int64_t"};

// A declaration's type: its words but the qualifiers.
struct TypeName {
  std::vector<Token> words;

  std::string text() const {
    std::string text;
    for (const Token& word : words) {
      if (!text.empty()) text += ' ';
      text += word.text;
    }
    return text;
  }
  bool is_integer() const {
    return (words.size() == 1 && contains(kIntegerTypes, words.front().text)) ||
           std::all_of(words.begin(), words.end(),
                       [](const Token& word) { return contains(kIntegerWords, word.text); });
  }
};

TypeName type_name(std::span<const Token> words) {
  TypeName type;
  std::copy_if(words.begin(), words.end(), std::back_inserter(type.words),
               [](const Token& word) { return !contains(kQualifiers, word.text); });
  return type;
}

// An array read, and the name it was declared with.
struct ArrayRead {
  std::vector<std::uint8_t> values;
  std::string_view name;
};

// C declarations at file scope: the array, and integer constants such as its length.
class CReader {
 public:
  CReader(const Source& source, std::size_t begin, std::size_t end, const ReadingProgress& progress)
      : tokens_(source, Language::kC, begin, end, progress) {}

  ArrayRead read() {
    while (tokens_.peek().kind != TokenKind::kEnd) declaration();
    if (values_.empty()) tokens_.fail(tokens_.peek(), "no array found");
    return {std::move(values_), name_};
  }

 private:
  void declaration();
  void array(const TypeName& type, const Token& name);
  void constant(const TypeName& type, const Token& name);

  Tokens tokens_;
  Names names_;
  std::vector<std::uint8_t> values_;
  std::string_view name_;
};

void CReader::declaration() {
  std::vector<Token> words;
  while (tokens_.peek().kind == TokenKind::kWord) words.push_back(tokens_.take());
  if (words.empty()) tokens_.fail_expected("a declaration");
  const Token name = words.back();
  words.pop_back();
  check_name(tokens_, name);
  names_.declare(tokens_, name);
  const TypeName type = type_name(words);
  if (type.words.empty()) tokens_.fail(name, joined({"expected a type before ", describe(name)}));
  if (tokens_.peek().is('[')) {
    array(type, name);
  } else {
    constant(type, name);
  }
}

void CReader::array(const TypeName& type, const Token& name) {
  if (!values_.empty()) fail_second_array(tokens_, name);
  const std::string type_text = type.text();
  if (!contains(kByteTypes, type_text)) {
    const std::string why = type_text == "char" ? std::string("char may be signed")
                                                : joined({"'", shown(type_text), "' is no byte"});
    tokens_.fail(type.words.front(),
                 joined({why, ": declare the array byte, uint8_t or unsigned char"}));
  }
  tokens_.take();
  std::optional<Token> size;
  if (tokens_.peek().kind == TokenKind::kNumber) size = tokens_.take();
  if (tokens_.peek().kind == TokenKind::kWord) {
    tokens_.fail(tokens_.peek(), "a name as the size could mean anything: write the number");
  }
  tokens_.expect(']');
  if (tokens_.peek().is_word("PROGMEM")) tokens_.take();
  tokens_.expect('=');
  tokens_.expect('{');
  values_ = read_elements(tokens_, '}').values;
  name_ = name.text;
  tokens_.expect(';');
  if (!size) return;
  const std::uint64_t declared = integer_value(tokens_, *size);
  if (declared != values_.size()) {
    tokens_.fail(*size,
                 joined({"the size ", shown(size->text), " is not the ",
                         std::to_string(values_.size()), " values given",
                         declared > values_.size() ? ": C would fill the rest with zeros" : ""}));
  }
}

void CReader::constant(const TypeName& type, const Token& name) {
  if (!type.is_integer()) {
    tokens_.fail(type.words.front(), joined({"'", shown(type.text()), "' is not an integer type"}));
  }
  if (!tokens_.peek().is('=')) tokens_.fail_expected(joined({"'[' or '=' after ", describe(name)}));
  tokens_.take();
  if (tokens_.peek().kind != TokenKind::kNumber) tokens_.fail_expected("a number");
  integer_value(tokens_, tokens_.take());
  tokens_.expect(';');
}

// Python statements at module level: the array's assignment and integers such as its length.
class PythonReader {
 public:
  PythonReader(const Source& source, std::size_t begin, std::size_t end,
               const ReadingProgress& progress)
      : tokens_(source, Language::kPython, begin, end, progress) {}

  ArrayRead read() {
    while (tokens_.peek().kind != TokenKind::kEnd) statement();
    if (values_.empty()) tokens_.fail(tokens_.peek(), "no array found");
    return {std::move(values_), name_};
  }

 private:
  void statement();
  void array(const Token& name);

  Tokens tokens_;
  Names names_;
  std::vector<std::uint8_t> values_;
  std::string_view name_;
};

void PythonReader::statement() {
  if (tokens_.peek().kind != TokenKind::kWord) tokens_.fail_expected("a name");
  const Token name = tokens_.take();
  check_name(tokens_, name);
  names_.declare(tokens_, name);
  tokens_.expect('=');
  if (tokens_.peek().kind == TokenKind::kNumber) {
    integer_value(tokens_, tokens_.take());
  } else if (tokens_.peek().is_word("bytes") || tokens_.peek().is_word("bytearray")) {
    array(name);
  } else {
    tokens_.fail_expected("a number or bytes((...))");
  }
  if (tokens_.peek().kind == TokenKind::kLineEnd) {
    tokens_.take();
  } else if (tokens_.peek().kind != TokenKind::kEnd) {
    tokens_.fail_expected("the end of the line");
  }
}

void PythonReader::array(const Token& name) {
  if (!values_.empty()) fail_second_array(tokens_, name);
  tokens_.take();
  tokens_.expect('(');
  const Token open = tokens_.peek();
  if (!open.is('(') && !open.is('[')) tokens_.fail_expected("'(' or '['");
  tokens_.take();
  Elements elements = read_elements(tokens_, open.is('(') ? ')' : ']');
  // Without its comma (5) is the number 5, and bytes(5) five zeros.
  if (open.is('(') && elements.values.size() == 1 && !elements.trailing_comma) {
    tokens_.fail(open, "one value in ( ) is a number, not a tuple: write a comma after it");
  }
  tokens_.expect(')');
  values_ = std::move(elements.values);
  name_ = name.text;
}

// Python assigns (`a = bytes((...))`, `slen = 44`, `a: bytes = ...`) or imports where a C
// declaration starts with its type, so the first statement's first words tell the two apart.
Language language_of(std::string_view text) {
  std::size_t at = 0;
  for (;;) {
    at = text.find_first_not_of(" \t\r\n\f", at);
    if (at == npos) return Language::kC;
    const std::string_view rest = text.substr(at);
    if (rest.starts_with('#') || rest.starts_with("//")) {
      at = text.find('\n', at);
    } else if (rest.starts_with("/*")) {
      at = text.find("*/", at + 2);
      if (at != npos) at += 2;
    } else {
      break;
    }
    if (at == npos) return Language::kC;
  }
  std::size_t end = at;
  while (end < text.size() && (is_letter(text[end]) || is_digit(text[end]))) ++end;
  const std::string_view word = text.substr(at, end - at);
  if (word == "import" || word == "from") return Language::kPython;
  const std::size_t next = text.find_first_not_of(" \t", end);
  // An annotation's one colon, not C++'s std::.
  const bool annotates = next != npos && text[next] == ':' && text.substr(next, 2) != "::";
  const bool assigns = next != npos && (text[next] == '=' || annotates);
  return !word.empty() && assigns ? Language::kPython : Language::kC;
}

// A NUL or another control character no source file holds: binary data, not an array.
void refuse_binary(const Source& source) {
  const std::string_view text = source.text();
  const auto binary = std::find_if(text.begin(), text.end(), is_binary_byte);
  if (binary == text.end()) return;
  source.fail(static_cast<std::size_t>(binary - text.begin()),
              "not text: it holds the control byte " + hex_byte(*binary));
}

// Compilers differ on whether a lone carriage return ends a line, and with it a // comment. At
// the very end it ends nothing: it is what is left of a CR LF whose LF a shell took away.
void refuse_lone_carriage_returns(const Source& source) {
  const std::string_view text = source.text();
  for (std::size_t at = text.find('\r'); at != npos; at = text.find('\r', at + 1)) {
    if (at + 1 != text.size() && text[at + 1] != '\n') {
      source.fail(at, "a carriage return without a line feed");
    }
  }
}

ArrayRead read_one(const Source& source, Language language, std::size_t begin, std::size_t end,
                   const ReadingProgress& progress) {
  if (language == Language::kPython) return PythonReader(source, begin, end, progress).read();
  return CReader(source, begin, end, progress).read();
}

// "'a' (line 3), 'b' (line 9)", as a message lists the arrays a text holds.
std::string listed(const Source& source, const std::vector<FoundArray>& arrays) {
  constexpr std::size_t kListed = 10;
  std::string list;
  for (std::size_t i = 0; i < arrays.size() && i < kListed; ++i) {
    const std::string_view before = source.text().substr(0, arrays[i].begin);
    const auto line = std::count(before.begin(), before.end(), '\n') + 1;
    list += joined(
        {i == 0 ? "" : ", ", "'", shown(arrays[i].name), "' (line ", std::to_string(line), ")"});
  }
  if (arrays.size() > kListed) list += " and " + std::to_string(arrays.size() - kListed) + " more";
  return list;
}

// Whether `word` stands on its own somewhere in `text`.
bool mentions(std::string_view text, std::string_view word) {
  for (std::size_t at = text.find(word); at != npos; at = text.find(word, at + 1)) {
    const std::size_t after = at + word.size();
    const bool alone_before = at == 0 || !(is_letter(text[at - 1]) || is_digit(text[at - 1]));
    const bool alone_after =
        after == text.size() || !(is_letter(text[after]) || is_digit(text[after]));
    if (alone_before && alone_after) return true;
  }
  return false;
}

// The array of a longer source that `name` names, or its only one.
FoundArray chosen(const Source& source, const FoundArrays& found,
                  const std::optional<std::string>& name) {
  std::vector<FoundArray> named;
  std::copy_if(found.arrays.begin(), found.arrays.end(), std::back_inserter(named),
               [&](const FoundArray& array) { return !name || array.name == *name; });
  // The name picks one of several; an only array is read whatever it is called, so that it can
  // be written under a new name.
  if (named.empty() && found.arrays.size() == 1) named = found.arrays;
  if (named.empty()) {
    source.fail(0, joined({"no byte array named '", shown(*name), "'; the text holds ",
                           listed(source, found.arrays)}));
  }
  if (name && named.size() > 1)
    source.fail(named[1].begin, joined({"'", shown(*name), "' is declared twice"}));
  if (named.size() > 1) {
    source.fail(named[1].begin, joined({std::to_string(named.size()), " byte arrays: ",
                                        listed(source, named), "; choose one by its name"}));
  }
  const FoundArray& array = named.front();
  if (array.conditional) {
    source.fail(array.begin,
                joined({"'", shown(array.name),
                        "' is inside #if, #ifdef or #ifndef, so it may not be compiled"}));
  }
  const std::string_view declaration = source.text().substr(array.begin, array.end - array.begin);
  for (const std::string_view macro : found.macros) {
    if (mentions(declaration, macro)) {
      source.fail(array.begin, joined({"#define ", shown(macro), " could change what '",
                                       shown(array.name), "' means"}));
    }
  }
  // Python lets a later assignment replace the array, or the builtin it is made with.
  if (std::count(found.assigned.begin(), found.assigned.end(), array.name) > 1) {
    source.fail(array.begin, joined({"'", shown(array.name), "' is assigned twice"}));
  }
  for (const std::string_view assigned : found.assigned) {
    if (assigned != array.name && mentions(declaration, assigned)) {
      source.fail(array.begin, joined({"'", shown(assigned), "' is assigned a value here, which ",
                                       "could change what '", shown(array.name), "' means"}));
    }
  }
  return array;
}

}  // namespace

bool is_binary_byte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  return (value < 0x20 && value != '\t' && value != '\n' && value != '\v' && value != '\f' &&
          value != '\r') ||
         value == 0x7F;
}

void check_array_text_size(std::size_t bytes) {
  if (bytes > kMaxArrayTextBytes) {
    throw ConversionError(ConversionError::Kind::kUnreadableArray,
                          "the array is too long: more than " +
                              std::to_string(kMaxArrayTextBytes >> 20) + " MiB of text");
  }
}

std::vector<std::uint8_t> read_array(std::string_view text, const std::optional<std::string>& name,
                                     const ReadingProgress& progress) {
  // gcc, clang and Python pass over a byte-order mark; it is no column of the first line.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  check_array_text_size(text.size());
  const Source source(text);
  refuse_binary(source);
  refuse_lone_carriage_returns(source);
  const Language language = language_of(text);
  // A file that is the array alone is read whole, so that anything else in it is refused; a
  // sketch or module holding it among other code is read from its declaration.
  std::optional<ArrayRead> whole;
  try {
    whole = read_one(source, language, 0, text.size(), progress);
  } catch (const ConversionError&) {
    const FoundArrays found =
        language == Language::kPython ? find_python_arrays(text) : find_c_arrays(text);
    if (found.arrays.empty() || !found.complete) throw;
    const FoundArray array = chosen(source, found, name);
    return read_one(source, language, array.begin, array.end, progress).values;
  }
  return std::move(whole->values);
}

}  // namespace marquee8
