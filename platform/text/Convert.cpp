// Conversions between the active code page, UTF-8 and UTF-16 through iconv.
// A character that does not convert becomes '?'.
#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/text/Text.h"

static_assert(std::endian::native == std::endian::little, "UTF-16 text is kept little-endian");

namespace {

using UnitFn = size_t (*)(std::string_view rest);

// Length of the character at the start of `rest` in each source encoding, used
// to step over a character that does not convert.
size_t Utf8Unit(std::string_view rest) {
  auto c = static_cast<unsigned char>(rest[0]);
  size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  for (size_t i = 1; i < n; ++i) {
    if (i >= rest.size() || (static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return i;
  }
  return n;
}

size_t Cp932Unit(std::string_view rest) {
  auto c = static_cast<unsigned char>(rest[0]);
  bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  return lead && rest.size() >= 2 ? 2 : 1;
}

size_t Utf16Unit(std::string_view rest) {
  if (rest.size() < 2) return rest.size();
  auto unit = static_cast<unsigned>(static_cast<unsigned char>(rest[0])) |
              (static_cast<unsigned>(static_cast<unsigned char>(rest[1])) << 8);
  bool high = unit >= 0xD800 && unit <= 0xDBFF;
  return high && rest.size() >= 4 ? 4 : 2;
}

std::string Iconv(const char* to, const char* from, std::string_view in, std::string_view replacement,
                  UnitFn unit) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out(in.size() * 4 + 16, '\0');
  char* inp = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  size_t used = 0;
  auto reserve = [&](size_t extra) {
    if (out.size() - used < extra) out.resize(out.size() * 2 + extra);
  };
  while (inLeft > 0) {
    char* outp = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    used = static_cast<size_t>(outp - out.data());
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      reserve(64);
      continue;
    }
    size_t skip = unit(std::string_view(inp, inLeft));
    inp += skip;
    inLeft -= skip;
    reserve(replacement.size());
    std::memcpy(out.data() + used, replacement.data(), replacement.size());
    used += replacement.size();
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

std::string_view AsBytes(std::u16string_view s) {
  return {reinterpret_cast<const char*>(s.data()), s.size() * sizeof(char16_t)};
}

std::u16string FromBytes(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * sizeof(char16_t));
  return out;
}

std::u16string Utf16From(CodePage page, std::string_view text) {
  if (page == CodePage::Cp932) return FromBytes(Iconv("UTF-16LE", "CP932", text, {"?\0", 2}, Cp932Unit));
  return FromBytes(Iconv("UTF-16LE", "UTF-8", text, {"?\0", 2}, Utf8Unit));
}

}  // namespace

AnsiString AnsiFromUtf8(std::string_view utf8) {
  if (ActiveCodePage() == CodePage::Utf8) return AnsiString(utf8);
  return Iconv("CP932", "UTF-8", utf8, "?", Utf8Unit);
}

std::string Utf8FromAnsi(std::string_view ansi) {
  if (ActiveCodePage() == CodePage::Utf8) return std::string(ansi);
  return Iconv("UTF-8", "CP932", ansi, "?", Cp932Unit);
}

std::u16string Utf16FromAnsi(std::string_view ansi) { return Utf16From(ActiveCodePage(), ansi); }

AnsiString AnsiFromUtf16(std::u16string_view utf16) {
  const char* to = ActiveCodePage() == CodePage::Cp932 ? "CP932" : "UTF-8";
  return Iconv(to, "UTF-16LE", AsBytes(utf16), "?", Utf16Unit);
}

int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* text, int len, char16_t* out,
                        int outUnits) {
  (void)flags;
  CodePage page;
  switch (codePage) {
    case CP_ACP:
    case 1:  // the OEM page is the ANSI page here
    case 3:  // the thread's page likewise
      page = ActiveCodePage();
      break;
    case static_cast<unsigned>(CodePage::Cp932):
      page = CodePage::Cp932;
      break;
    case static_cast<unsigned>(CodePage::Utf8):
      page = CodePage::Utf8;
      break;
    default:
      return 0;
  }
  if (text == nullptr || len == 0 || len < -1 || outUnits < 0) return 0;
  size_t bytes = len == -1 ? std::strlen(text) + 1 : static_cast<size_t>(len);
  std::u16string wide = Utf16From(page, std::string_view(text, bytes));
  if (outUnits == 0) return static_cast<int>(wide.size());
  if (out == nullptr) return 0;
  if (wide.size() > static_cast<size_t>(outUnits)) {
    out[0] = u'\0';
    return 0;
  }
  std::memcpy(out, wide.data(), wide.size() * sizeof(char16_t));
  return static_cast<int>(wide.size());
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
