// Link files: what the writer builds from any target and description reads
// back unchanged, and any bytes given to the reader are refused or read
// without reading outside them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "platform/shell/LnkReader.h"
#include "platform/shell/LnkWriter.h"

namespace {

std::u16string Units(std::string_view bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

std::string_view Cut(std::string_view s) { return s.substr(0, s.find('\0')); }
std::u16string_view Cut(std::u16string_view s) { return s.substr(0, s.find(u'\0')); }

void RoundTrip(std::string_view input) {
  // Three parts, split at the first two 0xFF 0xFE pairs.
  std::string_view parts[3];
  for (int i = 0; i < 2; ++i) {
    size_t at = input.find("\xFF\xFE");
    parts[i] = input.substr(0, at);
    input = at == std::string_view::npos ? std::string_view() : input.substr(at + 2);
  }
  parts[2] = input;

  lnk::LinkData data;
  data.targetAnsi = std::string(parts[0]);
  data.targetUnicode = Units(parts[1]);
  data.description = Units(parts[2]);
  data.fileAttributes = static_cast<uint32_t>(parts[0].size() * 0x01000193u);
  const std::string bytes = lnk::Build(data);

  auto read = lnk::LnkReader::Parse(bytes);
  if (!read) std::abort();
  if (read->fileAttributes != data.fileAttributes || read->showCommand != lnk::kShowNormal) std::abort();
  const std::string_view target = Cut(std::string_view(data.targetAnsi));
  if (read->hasLinkInfo != !target.empty()) std::abort();
  if (read->hasLinkInfo) {
    if (read->localBasePath != target || !read->commonPathSuffix.empty()) std::abort();
    if (!read->localBasePathUnicode || *read->localBasePathUnicode != Cut(std::u16string_view(data.targetUnicode))) {
      std::abort();
    }
  }
  const std::u16string_view description = std::u16string_view(data.description).substr(0, 0xFFFF);
  if (description.empty() ? read->description.has_value()
                          : (!read->description || *read->description != description)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that a read past the end is caught.
  std::unique_ptr<char[]> copy(new char[size == 0 ? 1 : size]);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const std::string_view bytes(copy.get(), size);
  (void)lnk::LnkReader::Parse(bytes);
  RoundTrip(bytes);
  return 0;
}
