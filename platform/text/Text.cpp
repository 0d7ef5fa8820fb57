// The active code page and the byte-wise text routines.
#include "platform/text/Text.h"

#include <langinfo.h>

#include <clocale>
#include <optional>
#include <string>

namespace {

std::optional<CodePage>& PageSlot() {
  static std::optional<CodePage> page;
  return page;
}

CodePage PageFromLocale() {
  std::setlocale(LC_ALL, "");
  const char* codeset = nl_langinfo(CODESET);
  return CodePageForCodeset(codeset != nullptr ? codeset : "");
}

}  // namespace

CodePage CodePageForCodeset(std::string_view codeset) {
  std::string upper(codeset);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == "SHIFT_JIS" || upper == "SJIS" || upper == "CP932" || upper == "SHIFT-JIS") {
    return CodePage::Cp932;
  }
  return CodePage::Utf8;
}

CodePage ActiveCodePage() {
  auto& slot = PageSlot();
  if (!slot) slot = PageFromLocale();
  return *slot;
}

void SetActiveCodePage(CodePage page) { PageSlot() = page; }

bool IsLeadByte(unsigned char c) {
  if (ActiveCodePage() != CodePage::Cp932) return false;
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

size_t CharLength(std::string_view s, size_t i) {
  if (i + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[i]))) return 2;
  return 1;
}

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  size_t at = s.find(sub);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}
