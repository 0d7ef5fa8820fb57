// Reads back the parts of a shell link (.lnk) file that this program writes:
// the header, the LinkInfo's local base path and the name string. Any bytes
// may be given; a file that is not a link, or whose sizes and offsets point
// outside it, is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lnk {

struct LinkContents {
  uint32_t linkFlags = 0;
  uint32_t fileAttributes = 0;
  uint32_t showCommand = 0;
  bool hasLinkInfo = false;
  uint32_t driveType = 0;                          // from the VolumeID, 0 when none
  std::string localBasePath;                       // bytes in the writer's code page
  std::optional<std::u16string> localBasePathUnicode;
  std::string commonPathSuffix;
  // The name string (description) when the file has one; a non-Unicode
  // file's bytes are widened one to one.
  std::optional<std::u16string> description;
};

class LnkReader {
 public:
  static std::optional<LinkContents> Parse(std::string_view bytes);
};

}  // namespace lnk
