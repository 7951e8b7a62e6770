#include "array_finder.h"

#include <optional>
#include <string>

#include "source_words.h"

namespace marquee8 {

namespace {

constexpr auto npos = std::string_view::npos;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }
bool is_word_char(char c) { return is_letter(c) || is_digit(c); }

// The words and symbols of a declaration's head, blanks passed over.
std::vector<std::string_view> head_pieces(std::string_view head) {
  std::vector<std::string_view> pieces;
  for (std::size_t at = 0; at < head.size();) {
    if (is_blank(head[at]) || head[at] == '\n') {
      ++at;
    } else if (is_word_char(head[at])) {
      const std::size_t start = at;
      while (at < head.size() && is_word_char(head[at])) ++at;
      pieces.push_back(head.substr(start, at - start));
    } else {
      pieces.push_back(head.substr(at++, 1));
    }
  }
  return pieces;
}

// Past a string or character on one line, escapes passed over, or past the line's end when it
// is never closed there.
std::size_t quoted_end(std::string_view text, std::size_t at) {
  for (std::size_t i = at + 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == text[at] || text[i] == '\n') {
      return i + 1;
    }
  }
  return text.size();
}

// The name a C declaration head declares when it is `[qualifiers] byte-type NAME [N] [PROGMEM]
// =`, the text before an initializer's '{'.
std::optional<std::string_view> c_array_name(std::string_view head) {
  const std::vector<std::string_view> pieces = head_pieces(head);
  std::size_t words = 0;
  while (words < pieces.size() && is_letter(pieces[words].front())) ++words;
  if (words < 2 || words + 3 > pieces.size() || pieces[words] != "[") return std::nullopt;
  std::size_t at = words + 1;
  if (is_digit(pieces[at].front())) ++at;
  if (at >= pieces.size() || pieces[at++] != "]") return std::nullopt;
  if (at < pieces.size() && pieces[at] == "PROGMEM") ++at;
  if (at + 1 != pieces.size() || pieces[at] != "=") return std::nullopt;
  std::string type;
  for (std::size_t i = 0; i + 1 < words; ++i) {
    if (contains(kQualifiers, pieces[i])) continue;
    type += (type.empty() ? "" : " ") + std::string(pieces[i]);
  }
  if (!contains(kByteTypes, type)) return std::nullopt;
  return pieces[words - 1];
}

class CScanner {
 public:
  explicit CScanner(std::string_view text) : text_(text) {}
  FoundArrays scan();

 private:
  std::size_t line_end(std::size_t at) const;
  std::size_t literal_end(std::size_t at) const;
  std::size_t directive_end(std::size_t at);
  void code(std::size_t at);

  std::string_view text_;
  FoundArrays found_;
  int depth_ = 0;        // open braces
  int conditional_ = 0;  // open #if blocks
  std::size_t statement_ = npos;
  std::optional<FoundArray> pending_;  // an array whose initializer is open
};

// The end of the line at `at`, carried on past each backslash that ends one.
std::size_t CScanner::line_end(std::size_t at) const {
  for (;;) {
    const std::size_t end = text_.find('\n', at);
    if (end == npos) return text_.size();
    const std::size_t last = text_.find_last_not_of(" \t\r", end == 0 ? 0 : end - 1);
    if (last == npos || last < at || text_[last] != '\\') return end;
    at = end + 1;
  }
}

// Past a string or character literal, or at the end of its line if it is never closed there.
std::size_t CScanner::literal_end(std::size_t at) const {
  if (text_[at] == '"' && at > 0 && text_[at - 1] == 'R') {
    const std::size_t open = text_.find('(', at);
    if (open == npos) return text_.size();
    // A raw string ends at )delimiter".
    const std::string_view delimiter = text_.substr(at + 1, open - at - 1);
    for (std::size_t close = text_.find(')', open); close != npos;
         close = text_.find(')', close + 1)) {
      const std::size_t quote = close + 1 + delimiter.size();
      if (text_.substr(close + 1, delimiter.size()) == delimiter && quote < text_.size() &&
          text_[quote] == '"') {
        return quote + 1;
      }
    }
    return text_.size();
  }
  return quoted_end(text_, at);
}

// Past a directive: its name counted for #if blocks and #define, its comments passed over.
std::size_t CScanner::directive_end(std::size_t at) {
  std::size_t name = at + 1;
  while (name < text_.size() && is_blank(text_[name])) ++name;
  std::size_t end = name;
  while (end < text_.size() && is_word_char(text_[end])) ++end;
  const std::string_view directive = text_.substr(name, end - name);
  if (directive == "if" || directive == "ifdef" || directive == "ifndef") ++conditional_;
  if (directive == "endif" && conditional_ > 0) --conditional_;
  if (directive == "define") {
    std::size_t macro = end;
    while (macro < text_.size() && is_blank(text_[macro])) ++macro;
    std::size_t macro_end = macro;
    while (macro_end < text_.size() && is_word_char(text_[macro_end])) ++macro_end;
    found_.macros.push_back(text_.substr(macro, macro_end - macro));
  }
  for (at = end; at < text_.size() && text_[at] != '\n';) {
    if (text_.substr(at, 2) == "/*") {
      const std::size_t close = text_.find("*/", at + 2);
      if (close == npos) {
        found_.complete = false;
        return text_.size();
      }
      at = close + 2;
    } else if (text_[at] == '\\') {
      const std::size_t after = text_.find_first_not_of(" \t\r", at + 1);
      at = after != npos && text_[after] == '\n' ? after + 1 : at + 1;
    } else {
      ++at;
    }
  }
  return at;
}

// One byte of code at file scope or inside braces.
void CScanner::code(std::size_t at) {
  const char c = text_[at];
  if (depth_ == 0 && statement_ == npos) statement_ = at;
  if (c == '{') {
    if (depth_ == 0 && !pending_) {
      if (const auto name = c_array_name(text_.substr(statement_, at - statement_))) {
        pending_ = FoundArray{*name, statement_, npos, conditional_ > 0};
      }
    }
    ++depth_;
  } else if (c == '}') {
    if (depth_ > 0) --depth_;
    if (depth_ == 0 && !pending_) statement_ = npos;
  } else if (c == ';' && depth_ == 0) {
    if (pending_) {
      pending_->end = at + 1;
      found_.arrays.push_back(*pending_);
      pending_.reset();
    }
    statement_ = npos;
  }
}

FoundArrays CScanner::scan() {
  bool line_start = true;
  for (std::size_t at = 0; at < text_.size();) {
    const char c = text_[at];
    if (c == '\n' || is_blank(c)) {
      line_start = line_start || c == '\n';
      ++at;
    } else if (text_.substr(at, 2) == "//") {
      at = line_end(at);
    } else if (text_.substr(at, 2) == "/*") {
      const std::size_t close = text_.find("*/", at + 2);
      if (close == npos) {
        found_.complete = false;
        break;
      }
      at = close + 2;
    } else if (c == '#' && line_start) {
      at = directive_end(at);
      if (depth_ == 0) statement_ = npos;
    } else {
      line_start = false;
      if (c == '"' || c == '\'') {
        at = literal_end(at);
      } else {
        code(at++);
      }
    }
  }
  return std::move(found_);
}

// The name a Python line at module level assigns to (`NAME = ...`), if it does.
std::optional<std::string_view> python_assigned_name(std::string_view line) {
  if (line.empty() || !is_letter(line.front())) return std::nullopt;
  const std::vector<std::string_view> pieces = head_pieces(line.substr(0, 200));
  if (pieces.size() < 3 || !is_letter(pieces[0].front()) || pieces[1] != "=" || pieces[2] == "=") {
    return std::nullopt;
  }
  return pieces[0];
}

// Whether that line assigns `bytes(` or `bytearray(`.
bool assigns_bytes(std::string_view line) {
  const std::vector<std::string_view> pieces = head_pieces(line.substr(0, line.find('(') + 1));
  return pieces.size() == 4 && (pieces[2] == "bytes" || pieces[2] == "bytearray") &&
         pieces[3] == "(";
}

// Past a Python string, triple-quoted or not, or npos for a triple-quoted one never closed.
std::size_t python_string_end(std::string_view text, std::size_t at) {
  const char quote = text[at];
  const std::string triple(3, quote);
  if (text.substr(at, 3) == triple) {
    const std::size_t close = text.find(triple, at + 3);
    return close == npos ? npos : close + 3;
  }
  return quoted_end(text, at);
}

}  // namespace

FoundArrays find_c_arrays(std::string_view text) { return CScanner(text).scan(); }

FoundArrays find_python_arrays(std::string_view text) {
  FoundArrays found;
  int depth = 0;
  std::optional<FoundArray> pending;
  for (std::size_t at = 0; at < text.size();) {
    if (depth == 0 && !pending && (at == 0 || text[at - 1] == '\n')) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      const std::string_view line = text.substr(at, end - at);
      if (const auto name = python_assigned_name(line)) {
        found.assigned.push_back(*name);
        if (assigns_bytes(line)) pending = FoundArray{*name, at, npos, false};
      }
    }
    const char c = text[at];
    if (c == '#') {
      at = std::min(text.find('\n', at), text.size());
    } else if (c == '\'' || c == '"') {
      at = python_string_end(text, at);
      if (at == npos) {
        found.complete = false;
        break;
      }
    } else {
      if (c == '(' || c == '[' || c == '{') ++depth;
      if ((c == ')' || c == ']' || c == '}') && depth > 0 && --depth == 0 && pending) {
        pending->end = std::min(text.find('\n', at), text.size());
        found.arrays.push_back(*pending);
        pending.reset();
      }
      ++at;
    }
  }
  return found;
}

}  // namespace marquee8
