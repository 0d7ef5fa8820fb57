#include "platform/registry/Hive.h"

#include "platform/text/Text.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace hive {

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

bool OnlyBlanks(std::string_view s) { return TrimLeft(s).empty(); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads 1 to `maxDigits` hex digits from the front of `s`.
std::optional<uint32_t> TakeHex(std::string_view& s, int maxDigits) {
  uint32_t v = 0;
  std::size_t n = 0;
  while (n < static_cast<std::size_t>(maxDigits) && n < s.size() && HexDigit(s[n]) >= 0) {
    v = v * 16 + static_cast<uint32_t>(HexDigit(s[n]));
    ++n;
  }
  if (n == 0) return std::nullopt;
  s.remove_prefix(n);
  return v;
}

// Collects UTF-16 units given as escapes, pairing surrogates; raw bytes pass
// through untouched.
class Utf8Sink {
 public:
  explicit Utf8Sink(std::string& out) : out_(out) {}
  void Byte(char c) {
    Flush();
    out_ += c;
  }
  void Unit(uint32_t u) {
    if (u >= 0xD800 && u <= 0xDBFF) {
      Flush();
      high_ = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      if (high_ != 0) {
        AppendUtf8(out_, 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00));
        high_ = 0;
      } else {
        AppendUtf8(out_, 0xFFFD);
      }
    } else {
      Flush();
      AppendUtf8(out_, u);
    }
  }
  void Flush() {
    if (high_ != 0) AppendUtf8(out_, 0xFFFD);
    high_ = 0;
  }

 private:
  std::string& out_;
  uint32_t high_ = 0;
};

char SimpleEscape(char d) {
  switch (d) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'e': return '\x1b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    default: return d;
  }
}

}  // namespace

std::optional<std::string> Unescape(std::string_view text, char terminator, std::size_t* consumed) {
  std::string out;
  Utf8Sink sink(out);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == terminator) {
      sink.Flush();
      if (consumed != nullptr) *consumed = i + 1;
      return out;
    }
    if (c != '\\') {
      sink.Byte(c);
      ++i;
      continue;
    }
    if (i + 1 >= text.size()) return std::nullopt;
    const char d = text[i + 1];
    i += 2;
    if (d == 'x') {
      std::string_view rest = text.substr(i);
      const std::size_t before = rest.size();
      if (auto unit = TakeHex(rest, 4)) {
        sink.Unit(*unit);
        i += before - rest.size();
      } else {
        sink.Byte('x');
      }
    } else if (d >= '0' && d <= '7') {
      uint32_t v = static_cast<uint32_t>(d - '0');
      for (int n = 1; n < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++n, ++i) {
        v = v * 8 + static_cast<uint32_t>(text[i] - '0');
      }
      sink.Unit(v);
    } else {
      sink.Byte(SimpleEscape(d));
    }
  }
  return std::nullopt;
}

std::string NormaliseKeyPath(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      if (!out.empty()) out += '\\';
      for (std::size_t i = start; i < end; ++i) out += LowerAscii(path[i]);
    }
    start = end + 1;
  }
  return out;
}

const Value* Key::Find(std::string_view name) const {
  auto it = values.find(LowerAscii(name));
  return it == values.end() ? nullptr : &it->second.second;
}

std::optional<Key> Hive::FindKey(std::string_view path) const {
  const std::string norm = NormaliseKeyPath(path);
  auto it = keys_.find(norm);
  if (it != keys_.end()) return it->second;
  if (norm.empty()) return Key{};  // the hive's root always exists
  // A key that only has sub-keys: some indexed path starts with "norm\".
  const std::string prefix = norm + '\\';
  auto below = keys_.lower_bound(prefix);
  if (below != keys_.end() && below->first.compare(0, prefix.size(), prefix) == 0) return Key{};
  return std::nullopt;
}

// Reads the hive line by line; one instance per Parse call.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  Hive Run() {
    Hive hive;
    std::string_view first;
    if (!NextLine(first) || first != kHeader) return hive;
    Key* current = nullptr;
    std::string_view line;
    while (NextLine(line)) {
      line = TrimLeft(line);
      if (line.empty() || line.front() == ';' || line.front() == '#') continue;
      if (line.front() == '[') {
        current = ParseKeyLine(hive, line.substr(1));
      } else if ((line.front() == '"' || line.front() == '@') && current != nullptr) {
        ParseValueLine(*current, line);
      }
      // Anything else is a damaged line: skipped.
    }
    return hive;
  }

 private:
  // The next line without its end-of-line bytes; false at the end of the text.
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }

  // A key line after its '['. A damaged one leaves no current key, so the
  // values that follow it are not filed under the previous key.
  Key* ParseKeyLine(Hive& hive, std::string_view rest) {
    std::size_t used = 0;
    auto name = Unescape(rest, ']', &used);
    if (!name) return nullptr;
    // What follows ']' (a modification time) is not needed.
    return &hive.keys_[NormaliseKeyPath(*name)];
  }

  void ParseValueLine(Key& key, std::string_view line) {
    std::string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else {
      std::size_t used = 0;
      auto quoted = Unescape(line.substr(1), '"', &used);
      if (!quoted) return;
      name = std::move(*quoted);
      line.remove_prefix(1 + used);
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() != '=') return;
    line = TrimLeft(line.substr(1));
    auto value = ParseData(line);
    if (!value) return;
    std::string index = LowerAscii(name);
    key.values[std::move(index)] = {std::move(name), std::move(*value)};
  }

  std::optional<Value> ParseData(std::string_view data) {
    Value v;
    if (Consume(data, "\"")) return ParseQuoted(data, REG_SZ);
    if (Consume(data, "str:\"")) return ParseQuoted(data, REG_SZ);
    if (Consume(data, "str(")) {
      auto type = TakeHex(data, 8);
      if (!type || !Consume(data, "):\"")) return std::nullopt;
      return ParseQuoted(data, *type);
    }
    if (Consume(data, "dword:")) {
      auto n = TakeHex(data, 8);
      if (!n || !OnlyBlanks(data)) return std::nullopt;
      v.type = REG_DWORD;
      for (int i = 0; i < 4; ++i) v.data += static_cast<char>((*n >> (8 * i)) & 0xFF);
      return v;
    }
    if (Consume(data, "hex:")) {
      v.type = REG_BINARY;
    } else if (Consume(data, "hex(")) {
      auto type = TakeHex(data, 8);
      if (!type || !Consume(data, "):")) return std::nullopt;
      v.type = *type;
    } else {
      return std::nullopt;
    }
    if (!ParseHexBytes(data, v.data)) return std::nullopt;
    return v;
  }

  static std::optional<Value> ParseQuoted(std::string_view rest, uint32_t type) {
    std::size_t used = 0;
    auto text = Unescape(rest, '"', &used);
    if (!text || !OnlyBlanks(rest.substr(used))) return std::nullopt;
    Value v;
    v.type = type;
    v.quoted = true;
    v.data = std::move(*text);
    return v;
  }

  // Comma-separated bytes of one or two hex digits; a '\' at the end of a line
  // continues the list on the next line.
  bool ParseHexBytes(std::string_view s, std::string& out) {
    for (;;) {
      s = TrimLeft(s);
      if (s.empty()) return true;
      if (s.front() == '\\' && OnlyBlanks(s.substr(1))) {
        if (!ContinuationLine(s)) return false;
        continue;
      }
      auto byte = TakeHex(s, 2);
      if (!byte) return false;
      out += static_cast<char>(*byte);
      s = TrimLeft(s);
      if (s.empty()) return true;
      if (s.front() == ',') {
        s.remove_prefix(1);
      } else if (s.front() != '\\') {
        return false;
      }
    }
  }

  // Takes the next line as the continuation of a hex list when it starts with
  // a hex digit. Otherwise the list is damaged and the line is left for the
  // main loop (it may be the next key or value).
  bool ContinuationLine(std::string_view& s) {
    const std::size_t saved = pos_;
    std::string_view next;
    if (!NextLine(next)) return false;
    next = TrimLeft(next);
    if (next.empty() || HexDigit(next.front()) < 0) {
      pos_ = saved;
      return false;
    }
    s = next;
    return true;
  }

  static bool Consume(std::string_view& s, std::string_view prefix) {
    if (s.substr(0, prefix.size()) != prefix) return false;
    s.remove_prefix(prefix.size());
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

Hive Hive::Parse(std::string_view text) { return Parser(text).Run(); }

Hive Hive::Load(const std::string& hostPath) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(hostPath.c_str(), "rb"), &std::fclose);
  if (!file) return Hive{};
  std::string bytes;
  std::vector<char> chunk(64 * 1024);
  while (bytes.size() < kMaxFileBytes) {
    const std::size_t want = std::min(chunk.size(), kMaxFileBytes - bytes.size());
    const std::size_t got = std::fread(chunk.data(), 1, want, file.get());
    bytes.append(chunk.data(), got);
    if (got < want) break;
  }
  return Parse(bytes);
}

}  // namespace hive
