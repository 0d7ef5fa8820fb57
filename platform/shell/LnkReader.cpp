#include "platform/shell/LnkReader.h"

#include <cstring>

#include "platform/shell/LnkWriter.h"

namespace lnk {

namespace {

constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

// Little-endian reads that fail instead of reading past the end.
class Bytes {
 public:
  explicit Bytes(std::string_view b) : b_(b) {}
  std::size_t size() const { return b_.size(); }

  bool U16(std::size_t at, uint32_t& v) const {
    if (at > b_.size() || b_.size() - at < 2) return false;
    v = Byte(at) | (Byte(at + 1) << 8);
    return true;
  }
  bool U32(std::size_t at, uint32_t& v) const {
    uint32_t lo = 0, hi = 0;
    if (!U16(at, lo) || !U16(at + 2, hi)) return false;
    v = lo | (hi << 16);
    return true;
  }
  // A NUL-terminated byte string starting at `at`, ending before `limit`.
  bool CString(std::size_t at, std::size_t limit, std::string& out) const {
    for (std::size_t i = at; i < limit && i < b_.size(); ++i) {
      if (b_[i] == '\0') {
        out.assign(b_.substr(at, i - at));
        return true;
      }
    }
    return false;
  }
  // A NUL-terminated UTF-16LE string starting at `at`, ending before `limit`.
  bool WString(std::size_t at, std::size_t limit, std::u16string& out) const {
    out.clear();
    for (std::size_t i = at; i + 1 < limit && i + 1 < b_.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(Byte(i) | (Byte(i + 1) << 8));
      if (c == 0) return true;
      out += c;
    }
    return false;
  }
  std::string_view Sub(std::size_t at, std::size_t n) const { return b_.substr(at, n); }
  uint32_t Byte(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }

 private:
  std::string_view b_;
};

bool ReadLinkInfo(const Bytes& b, std::size_t at, LinkContents& out, std::size_t& size) {
  uint32_t infoSize = 0, headerSize = 0, flags = 0, volumeOffset = 0, baseOffset = 0,
           suffixOffset = 0;
  if (!b.U32(at, infoSize) || infoSize < 0x1C || infoSize > b.size() - at) return false;
  if (!b.U32(at + 4, headerSize) || !b.U32(at + 8, flags) || !b.U32(at + 12, volumeOffset) ||
      !b.U32(at + 16, baseOffset) || !b.U32(at + 24, suffixOffset)) {
    return false;
  }
  if (headerSize < 0x1C || headerSize > infoSize) return false;
  const std::size_t end = at + infoSize;
  if (suffixOffset >= infoSize || !b.CString(at + suffixOffset, end, out.commonPathSuffix)) {
    return false;
  }
  if (flags & 0x1) {
    uint32_t volumeSize = 0;
    if (volumeOffset >= infoSize || !b.U32(at + volumeOffset, volumeSize) || volumeSize < 0x10 ||
        volumeSize > infoSize - volumeOffset || !b.U32(at + volumeOffset + 4, out.driveType)) {
      return false;
    }
    if (baseOffset >= infoSize || !b.CString(at + baseOffset, end, out.localBasePath)) return false;
    uint32_t baseUnicodeOffset = 0;
    if (headerSize >= 0x24 && b.U32(at + 28, baseUnicodeOffset) && baseUnicodeOffset != 0) {
      std::u16string wide;
      if (baseUnicodeOffset >= infoSize || !b.WString(at + baseUnicodeOffset, end, wide)) {
        return false;
      }
      out.localBasePathUnicode = std::move(wide);
    }
  }
  size = infoSize;
  return true;
}

// One counted string of the StringData section; false when it runs past the end.
bool ReadCountedString(const Bytes& b, std::size_t& at, bool unicode, std::u16string& out) {
  uint32_t count = 0;
  if (!b.U16(at, count)) return false;
  at += 2;
  const std::size_t bytes = static_cast<std::size_t>(count) * (unicode ? 2 : 1);
  if (bytes > b.size() - at) return false;
  out.clear();
  for (std::size_t i = 0; i < count; ++i) {
    out += unicode ? static_cast<char16_t>(b.Byte(at + 2 * i) | (b.Byte(at + 2 * i + 1) << 8))
                   : static_cast<char16_t>(b.Byte(at + i));
  }
  at += bytes;
  return true;
}

}  // namespace

std::optional<LinkContents> LnkReader::Parse(std::string_view bytes) {
  const Bytes b(bytes);
  LinkContents out;
  uint32_t headerSize = 0;
  if (!b.U32(0, headerSize) || headerSize != kHeaderSize || b.size() < kHeaderSize) {
    return std::nullopt;
  }
  if (std::memcmp(b.Sub(4, 16).data(), kLinkClsid, sizeof kLinkClsid) != 0) return std::nullopt;
  b.U32(20, out.linkFlags);
  b.U32(24, out.fileAttributes);
  b.U32(60, out.showCommand);

  std::size_t at = kHeaderSize;
  if (out.linkFlags & HasLinkTargetIDList) {
    uint32_t idListSize = 0;
    if (!b.U16(at, idListSize) || idListSize > b.size() - at - 2) return std::nullopt;
    at += 2 + idListSize;
  }
  if (out.linkFlags & HasLinkInfo) {
    std::size_t infoSize = 0;
    if (!ReadLinkInfo(b, at, out, infoSize)) return std::nullopt;
    out.hasLinkInfo = true;
    at += infoSize;
  }
  const bool unicode = (out.linkFlags & IsUnicode) != 0;
  std::u16string text;
  for (uint32_t flag : {HasName, HasRelativePath, HasWorkingDir, HasArguments, HasIconLocation}) {
    if ((out.linkFlags & flag) == 0) continue;
    if (!ReadCountedString(b, at, unicode, text)) return std::nullopt;
    if (flag == HasName) out.description = text;
  }
  return out;
}

}  // namespace lnk
