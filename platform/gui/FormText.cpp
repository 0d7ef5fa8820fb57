#include "FormText.h"

#include <cctype>

#include "Exception.h"
#include "platform/text/Text.h"

namespace formtext {

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

namespace {

constexpr int kMaxDepth = 64;

struct Token {
  enum class Kind { End, Identifier, Integer, String, Punct };
  Kind kind = Kind::End;
  std::string text;  // identifier, string (UTF-8) or the punctuation character
  long long integer = 0;
  int line = 1;
};

class Lexer {
 public:
  Lexer(std::string_view text, std::string_view source) : s_(text), source_(source) {}

  [[noreturn]] void Fail(int line, const std::string& what) const {
    throw Exception("Form description " + std::string(source_) + ", line " + std::to_string(line) + ": " + what);
  }

  Token Next() {
    SkipBlanks();
    Token t;
    t.line = line_;
    if (pos_ >= s_.size()) return t;
    const char c = s_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      t.kind = Token::Kind::Identifier;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' || s_[pos_] == '.')) {
        t.text += s_[pos_++];
      }
      return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
        (c == '-' && pos_ + 1 < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '$'))) {
      t.kind = Token::Kind::Integer;
      t.integer = Number();
      return t;
    }
    if (c == '\'' || c == '#') {
      t.kind = Token::Kind::String;
      t.text = StringParts();
      return t;
    }
    t.kind = Token::Kind::Punct;
    t.text = std::string(1, c);
    ++pos_;
    return t;
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        break;
      }
      ++pos_;
    }
  }

  long long Number() {
    bool negative = false;
    if (pos_ < s_.size() && s_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    long long value = 0;
    const bool hex = pos_ < s_.size() && s_[pos_] == '$';
    if (hex) ++pos_;
    const size_t start = pos_;
    while (pos_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[pos_]);
      int digit;
      if (std::isdigit(c)) {
        digit = c - '0';
      } else if (hex && std::isxdigit(c)) {
        digit = std::tolower(c) - 'a' + 10;
      } else {
        break;
      }
      value = value * (hex ? 16 : 10) + digit;
      if (value > 0xFFFFFFFFLL) Fail(line_, "number out of range");
      ++pos_;
    }
    if (pos_ == start) Fail(line_, "number expected");
    if (pos_ < s_.size() && (s_[pos_] == '.' || std::isalpha(static_cast<unsigned char>(s_[pos_])))) {
      Fail(line_, "unsupported number");
    }
    return negative ? -value : value;
  }

  // 'text'#13#10'more' written without blanks between the parts.
  std::string StringParts() {
    std::string out;
    while (pos_ < s_.size() && (s_[pos_] == '\'' || s_[pos_] == '#')) {
      if (s_[pos_] == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') Fail(line_, "unterminated string");
          if (s_[pos_] == '\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
              out += '\'';
              pos_ += 2;
              continue;
            }
            ++pos_;
            break;
          }
          out += s_[pos_++];
        }
      } else {
        ++pos_;
        const size_t before = pos_;
        const long long cp = Number();
        if (pos_ == before || cp < 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
          Fail(line_, "bad character code");
        }
        AppendUtf8(out, static_cast<char32_t>(cp));
      }
    }
    return out;
  }

  std::string_view s_;
  std::string_view source_;
  size_t pos_ = 0;
  int line_ = 1;
};

class Parser {
 public:
  Parser(std::string_view text, std::string_view source) : lexer_(text, source) { Advance(); }

  Object Root() {
    Object root = ParseObject(0);
    if (tok_.kind != Token::Kind::End) lexer_.Fail(tok_.line, "text after the final 'end'");
    return root;
  }

 private:
  void Advance() { tok_ = lexer_.Next(); }

  bool IsWord(const char* word) const { return tok_.kind == Token::Kind::Identifier && SameName(tok_.text, word); }

  bool IsPunct(char c) const { return tok_.kind == Token::Kind::Punct && tok_.text[0] == c; }

  void Expect(char c) {
    if (!IsPunct(c)) lexer_.Fail(tok_.line, std::string("'") + c + "' expected");
    Advance();
  }

  std::string Identifier(const char* what) {
    if (tok_.kind != Token::Kind::Identifier) lexer_.Fail(tok_.line, std::string(what) + " expected");
    std::string text = tok_.text;
    Advance();
    return text;
  }

  Object ParseObject(int depth) {
    if (depth > kMaxDepth) lexer_.Fail(tok_.line, "objects nested too deeply");
    if (!IsWord("object")) lexer_.Fail(tok_.line, "'object' expected");
    Object obj;
    obj.line = tok_.line;
    Advance();
    obj.name = Identifier("object name");
    Expect(':');
    obj.className = Identifier("class name");
    for (;;) {
      if (IsWord("end")) {
        Advance();
        return obj;
      }
      if (IsWord("object")) {
        obj.children.push_back(ParseObject(depth + 1));
      } else if (IsWord("inherited") || IsWord("inline")) {
        lexer_.Fail(tok_.line, "unsupported '" + tok_.text + "'");
      } else if (tok_.kind == Token::Kind::Identifier) {
        Property p;
        p.line = tok_.line;
        p.name = Identifier("property name");
        Expect('=');
        p.value = ParseValue();
        obj.properties.push_back(std::move(p));
      } else if (tok_.kind == Token::Kind::End) {
        lexer_.Fail(tok_.line, "'end' missing");
      } else {
        lexer_.Fail(tok_.line, "property name expected");
      }
    }
  }

  Value ParseValue() {
    Value v;
    switch (tok_.kind) {
      case Token::Kind::Integer:
        v.kind = Value::Kind::Integer;
        v.integer = tok_.integer;
        Advance();
        return v;
      case Token::Kind::String:
        v.kind = Value::Kind::String;
        v.text = tok_.text;
        Advance();
        while (IsPunct('+')) {
          Advance();
          if (tok_.kind != Token::Kind::String) lexer_.Fail(tok_.line, "string expected after '+'");
          v.text += tok_.text;
          Advance();
        }
        return v;
      case Token::Kind::Identifier:
        v.kind = Value::Kind::Identifier;
        v.text = Identifier("value");
        return v;
      case Token::Kind::Punct:
        if (IsPunct('[')) {
          v.kind = Value::Kind::Set;
          Advance();
          if (!IsPunct(']')) {
            for (;;) {
              v.items.push_back(Identifier("set element"));
              if (IsPunct(']')) break;
              Expect(',');
            }
          }
          Advance();
          return v;
        }
        lexer_.Fail(tok_.line, "unsupported value '" + tok_.text + "'");
      case Token::Kind::End:
        break;
    }
    lexer_.Fail(tok_.line, "value expected");
  }

  Lexer lexer_;
  Token tok_;
};

}  // namespace

Object Parse(std::string_view text, std::string_view source) { return Parser(text, source).Root(); }

}  // namespace formtext
