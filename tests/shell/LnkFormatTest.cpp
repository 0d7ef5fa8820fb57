// The .lnk bytes: what the writer produces and what the reader accepts.
#include <gtest/gtest.h>

#include <random>

#include "platform/shell/LnkReader.h"
#include "platform/shell/LnkWriter.h"

namespace {

lnk::LinkData Sample(std::u16string description = u"") {
  lnk::LinkData d;
  d.targetAnsi = "C:\\Program Files\\Corvalen\\Corvan.exe";
  d.targetUnicode = u"C:\\Program Files\\Corvalen\\Corvan.exe";
  d.description = std::move(description);
  return d;
}

uint32_t U32At(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
         static_cast<unsigned char>(b[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

void SetU32At(std::string& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

TEST(LnkFormat, HeaderAndLinkInfoOfALinkWithoutDescription) {
  const std::string bytes = lnk::Build(Sample());
  ASSERT_GE(bytes.size(), 76u);
  EXPECT_EQ(U32At(bytes, 0), 0x4Cu);
  EXPECT_EQ(U32At(bytes, 20), lnk::HasLinkInfo | lnk::IsUnicode);  // no id list, no name
  EXPECT_EQ(U32At(bytes, 24), 0x20u);                              // archive
  EXPECT_EQ(U32At(bytes, bytes.size() - 4), 0u);                   // terminal block

  auto parsed = lnk::LnkReader::Parse(bytes);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_TRUE(parsed->hasLinkInfo);
  EXPECT_EQ(parsed->driveType, lnk::kDriveFixed);
  EXPECT_EQ(parsed->showCommand, lnk::kShowNormal);
  EXPECT_EQ(parsed->localBasePath, "C:\\Program Files\\Corvalen\\Corvan.exe");
  ASSERT_TRUE(parsed->localBasePathUnicode.has_value());
  EXPECT_EQ(*parsed->localBasePathUnicode, u"C:\\Program Files\\Corvalen\\Corvan.exe");
  EXPECT_EQ(parsed->commonPathSuffix, "");
  EXPECT_FALSE(parsed->description.has_value());
  // The LinkInfo ends exactly where the terminal block starts.
  EXPECT_EQ(76 + U32At(bytes, 76) + 4, bytes.size());
}

TEST(LnkFormat, DescriptionAndOddTargets) {
  struct Case {
    std::string ansi;
    std::u16string wide;
    std::u16string description;
  };
  const Case cases[] = {
      {"C:\\x.exe", u"C:\\x.exe", u"a comment"},
      {"C:\\\x83\x76\x83\x8D\\Corvan.exe", u"C:\\\u30D7\u30ED\\Corvan.exe", u""},  // Shift-JIS bytes
      {"D:\\Dest\\\\Corvan.exe", u"D:\\Dest\\\\Corvan.exe", u"\u8AAC\u660E"},
  };
  for (const Case& c : cases) {
    lnk::LinkData d;
    d.targetAnsi = c.ansi;
    d.targetUnicode = c.wide;
    d.description = c.description;
    auto parsed = lnk::LnkReader::Parse(lnk::Build(d));
    ASSERT_TRUE(parsed.has_value()) << c.ansi;
    EXPECT_EQ(parsed->localBasePath, c.ansi);
    EXPECT_EQ(parsed->localBasePathUnicode.value_or(u"?"), c.wide);
    EXPECT_EQ(parsed->description.has_value(), !c.description.empty());
    EXPECT_EQ(parsed->description.value_or(u""), c.description);
  }
}

TEST(LnkFormat, NoTargetMeansNoLinkInfo) {
  lnk::LinkData d;
  auto parsed = lnk::LnkReader::Parse(lnk::Build(d));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_FALSE(parsed->hasLinkInfo);
  EXPECT_EQ(parsed->linkFlags & lnk::HasLinkInfo, 0u);
}

TEST(LnkFormat, ReaderRefusesEveryCutShortFile) {
  const std::string bytes = lnk::Build(Sample(u"with a name"));
  // Everything up to the name string's end is needed; the terminal block is not.
  for (std::size_t n = 0; n + 4 < bytes.size(); ++n) {
    EXPECT_FALSE(lnk::LnkReader::Parse(std::string_view(bytes).substr(0, n)).has_value()) << n;
  }
  EXPECT_TRUE(lnk::LnkReader::Parse(bytes).has_value());
}

TEST(LnkFormat, ReaderRefusesForeignAndInconsistentBytes) {
  const std::string good = lnk::Build(Sample());
  struct Patch {
    std::size_t at;
    uint32_t value;
    const char* what;
  };
  const uint32_t infoAt = 76;
  const Patch patches[] = {
      {0, 0x4D, "header size"},
      {4, 0x00021402, "class id"},
      {infoAt, 0xFFFFFFF0u, "LinkInfo size past the end"},
      {infoAt, 0x10, "LinkInfo size below its header"},
      {infoAt + 4, 0x1000, "LinkInfo header larger than LinkInfo"},
      {infoAt + 12, 0x7FFFFFFF, "VolumeID offset outside"},
      {infoAt + 16, 0x7FFFFFFF, "LocalBasePath offset outside"},
      {infoAt + 24, 0x7FFFFFFF, "CommonPathSuffix offset outside"},
      {infoAt + 28, 0x7FFFFFFF, "Unicode path offset outside"},
      {infoAt + 0x24, 0x8, "VolumeID size too small"},
  };
  for (const Patch& p : patches) {
    std::string bytes = good;
    SetU32At(bytes, p.at, p.value);
    EXPECT_FALSE(lnk::LnkReader::Parse(bytes).has_value()) << p.what;
  }
  // A path whose NUL lies beyond the LinkInfo is refused too.
  std::string unterminated = good;
  const std::size_t suffixAt = infoAt + U32At(good, infoAt + 24);
  // From the LocalBasePath's NUL to the LinkInfo's end, no NUL is left.
  for (std::size_t i = suffixAt - 1; i < infoAt + U32At(good, infoAt); ++i) unterminated[i] = 'z';
  EXPECT_FALSE(lnk::LnkReader::Parse(unterminated).has_value());
}

TEST(LnkFormat, ReaderSurvivesRandomBytes) {
  const std::string good = lnk::Build(Sample(u"name"));
  std::mt19937 rng(7);
  for (int round = 0; round < 5000; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e) bytes[rng() % bytes.size()] = static_cast<char>(rng() & 0xFF);
    auto parsed = lnk::LnkReader::Parse(bytes);
    if (parsed) {
      EXPECT_LE(parsed->localBasePath.size(), bytes.size());
    }
  }
}

}  // namespace
