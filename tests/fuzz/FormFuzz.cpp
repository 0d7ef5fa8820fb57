// Form descriptions: any text either parses or raises the parser's
// exception; nothing else may escape, fault or run away.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/gui/Exception.h"
#include "platform/gui/FormText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    (void)formtext::Parse(text, "fuzz.dfm");
  } catch (const Exception&) {
  }
  return 0;
}
