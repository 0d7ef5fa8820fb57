#include "platform/shell/LnkWriter.h"

#include <algorithm>

namespace lnk {

namespace {

// The class identifier every link file carries in its header.
constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr uint32_t kLinkInfoHeaderSize = 0x24;  // with the Unicode offsets
constexpr uint32_t kVolumeIdSize = 0x11;        // fixed part and an empty label

void Put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

void PutUtf16(std::string& out, std::u16string_view s) {
  for (char16_t c : s) Put16(out, c);
}

std::string LinkInfo(const LinkData& data) {
  const uint32_t volumeOffset = kLinkInfoHeaderSize;
  const uint32_t baseOffset = volumeOffset + kVolumeIdSize;
  const uint32_t suffixOffset = baseOffset + static_cast<uint32_t>(data.targetAnsi.size()) + 1;
  const uint32_t baseUnicodeOffset = suffixOffset + 1;
  const uint32_t suffixUnicodeOffset =
      baseUnicodeOffset + 2 * (static_cast<uint32_t>(data.targetUnicode.size()) + 1);
  const uint32_t size = suffixUnicodeOffset + 2;

  std::string out;
  Put32(out, size);
  Put32(out, kLinkInfoHeaderSize);
  Put32(out, kVolumeIdAndLocalBasePath);
  Put32(out, volumeOffset);
  Put32(out, baseOffset);
  Put32(out, 0);  // no network share
  Put32(out, suffixOffset);
  Put32(out, baseUnicodeOffset);
  Put32(out, suffixUnicodeOffset);
  // VolumeID: a fixed drive, no serial number, an empty label right after it.
  Put32(out, kVolumeIdSize);
  Put32(out, kDriveFixed);
  Put32(out, 0);
  Put32(out, 0x10);
  out += '\0';
  out += data.targetAnsi;  // LocalBasePath
  out += '\0';
  out += '\0';  // CommonPathSuffix: empty
  PutUtf16(out, data.targetUnicode);
  Put16(out, 0);
  Put16(out, 0);  // CommonPathSuffixUnicode: empty
  return out;
}

}  // namespace

std::string Build(const LinkData& data) {
  // A path cannot hold a NUL: stop at the first one so the offsets stay true.
  LinkData d = data;
  d.targetAnsi.resize(std::min(d.targetAnsi.find('\0'), d.targetAnsi.size()));
  d.targetUnicode.resize(std::min(d.targetUnicode.find(u'\0'), d.targetUnicode.size()));
  d.description.resize(std::min<std::size_t>(d.description.size(), 0xFFFF));

  uint32_t flags = IsUnicode;
  if (!d.targetAnsi.empty()) flags |= HasLinkInfo;
  if (!d.description.empty()) flags |= HasName;

  std::string out;
  Put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  Put32(out, flags);
  Put32(out, d.fileAttributes);
  for (int i = 0; i < 6; ++i) Put32(out, 0);  // creation, access, write times
  Put32(out, 0);                               // file size
  Put32(out, 0);                               // icon index
  Put32(out, kShowNormal);
  Put16(out, 0);  // hot key
  Put16(out, 0);
  Put32(out, 0);
  Put32(out, 0);  // reserved

  if (flags & HasLinkInfo) out += LinkInfo(d);
  if (flags & HasName) {
    Put16(out, static_cast<uint32_t>(d.description.size()));
    PutUtf16(out, d.description);
  }
  Put32(out, 0);  // terminal block: no extra data
  return out;
}

}  // namespace lnk
