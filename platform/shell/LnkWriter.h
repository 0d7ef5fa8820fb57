// The bytes of a shell link (.lnk) file: the 76-byte header, a LinkInfo that
// names the target by its local path (in the active code page and in UTF-16),
// an optional name string (the description) and the terminal block. No item
// id list: readers find the target through the LinkInfo.
#pragma once

#include <cstdint>
#include <string>

namespace lnk {

// Header flags.
constexpr uint32_t HasLinkTargetIDList = 0x01;
constexpr uint32_t HasLinkInfo = 0x02;
constexpr uint32_t HasName = 0x04;
constexpr uint32_t HasRelativePath = 0x08;
constexpr uint32_t HasWorkingDir = 0x10;
constexpr uint32_t HasArguments = 0x20;
constexpr uint32_t HasIconLocation = 0x40;
constexpr uint32_t IsUnicode = 0x80;

constexpr uint32_t kHeaderSize = 0x4C;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kShowNormal = 1;

struct LinkData {
  std::string targetAnsi;        // the target's Windows path, active code page
  std::u16string targetUnicode;  // the same path in UTF-16
  std::u16string description;    // no name string when empty (at most 0xFFFF units)
  uint32_t fileAttributes = 0x20;  // archive
};

// The file's bytes. Without a target there is no LinkInfo.
std::string Build(const LinkData& data);

}  // namespace lnk
