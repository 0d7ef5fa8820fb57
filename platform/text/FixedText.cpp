// Fixed texts converted once per code page. Each page keeps its own cache, so
// a change of the active page gives freshly converted texts while references
// handed out earlier stay valid.
#include "platform/text/FixedText.h"

#include <map>
#include <string>
#include <unordered_map>

const AnsiString& FixedText(const char* utf8) {
  static std::map<CodePage, std::unordered_map<std::string, AnsiString>> caches;
  auto& cache = caches[ActiveCodePage()];
  auto it = cache.find(utf8);
  if (it != cache.end()) return it->second;
  return cache.emplace(utf8, AnsiFromUtf8(utf8)).first->second;
}
