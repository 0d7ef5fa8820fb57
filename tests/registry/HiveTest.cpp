// The hive reader: good files, damaged and truncated ones, escapes, hex lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "platform/registry/Hive.h"

namespace {

using hive::Hive;

const std::string kGood =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
    "#time=1d9f3c1a2b3c4d5\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\"CommonFilesDir\"=str(2):\"%ProgramFiles%\\\\Common Files\"\n"
    "\"Count\"=dword:0000001f\n"
    "\"Blob\"=hex:01,02,ff,\\\n"
    "  10,20\n"
    "\"Wide\"=hex(2):43,00,3a,00,\\\n"
    "  5c,00,00,00\n"
    "@=\"the default\"\n"
    "\n"
    "[Software\\\\Empty]\n";

std::string Data(const hive::Value* v) { return v == nullptr ? "<none>" : v->data; }

TEST(Hive, ReadsKeysAndValuesOfAGoodFile) {
  const Hive h = Hive::Parse(kGood);
  auto key = h.FindKey("SOFTWARE\\microsoft\\Windows\\CurrentVersion");
  ASSERT_TRUE(key.has_value());

  const hive::Value* pf = key->Find("programfilesdir");
  ASSERT_NE(pf, nullptr);
  EXPECT_EQ(pf->type, hive::REG_SZ);
  EXPECT_TRUE(pf->quoted);
  EXPECT_EQ(pf->data, "C:\\Program Files");

  const hive::Value* common = key->Find("CommonFilesDir");
  ASSERT_NE(common, nullptr);
  EXPECT_EQ(common->type, hive::REG_EXPAND_SZ);
  EXPECT_EQ(common->data, "%ProgramFiles%\\Common Files");

  const hive::Value* count = key->Find("Count");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->type, hive::REG_DWORD);
  EXPECT_EQ(count->data, std::string("\x1f\0\0\0", 4));

  const hive::Value* blob = key->Find("Blob");
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(blob->type, hive::REG_BINARY);
  EXPECT_FALSE(blob->quoted);
  EXPECT_EQ(blob->data, std::string("\x01\x02\xff\x10\x20", 5));

  const hive::Value* wide = key->Find("Wide");
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(wide->type, hive::REG_EXPAND_SZ);
  EXPECT_EQ(wide->data, std::string("C\0:\0\\\0\0\0", 8));

  EXPECT_EQ(Data(key->Find("")), "the default");
  EXPECT_EQ(key->Find("Missing"), nullptr);
}

TEST(Hive, KeyExistenceFollowsThePathTree) {
  const Hive h = Hive::Parse(kGood);
  // Parents of a stored key exist, with no values of their own.
  auto parent = h.FindKey("Software\\Microsoft");
  ASSERT_TRUE(parent.has_value());
  EXPECT_TRUE(parent->values.empty());
  EXPECT_TRUE(h.FindKey("software").has_value());
  EXPECT_TRUE(h.FindKey("\\Software\\\\Empty\\").has_value());  // stray separators ignored
  EXPECT_TRUE(h.FindKey("").has_value());                       // the root

  EXPECT_FALSE(h.FindKey("Software\\Micro").has_value());  // a prefix of a name is no key
  EXPECT_FALSE(h.FindKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run").has_value());
  EXPECT_FALSE(h.FindKey("Other").has_value());
}

TEST(Hive, WithoutTheHeaderLineTheHiveIsEmpty) {
  for (const std::string& text :
       {std::string(""), std::string("REGEDIT4\n[A]\n\"x\"=\"1\"\n"),
        std::string("WINE REGISTRY Version 1\n[A]\n\"x\"=\"1\"\n"),
        std::string(" WINE REGISTRY Version 2\n[A]\n\"x\"=\"1\"\n")}) {
    const Hive h = Hive::Parse(text);
    EXPECT_EQ(h.KeyCount(), 0u) << text;
    EXPECT_FALSE(h.FindKey("A").has_value()) << text;
  }
  // Windows line ends are fine.
  const Hive crlf = Hive::Parse("WINE REGISTRY Version 2\r\n[A]\r\n\"x\"=\"1\"\r\n");
  auto key = crlf.FindKey("a");
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(Data(key->Find("x")), "1");
}

TEST(Hive, DamagedLinesAreSkippedAndTheRestIsKept) {
  struct Case {
    std::string line;
    const char* why;
  };
  const Case cases[] = {
      {"\"bad\"=\"unterminated", "string without closing quote"},
      {"\"bad\"=\"text\" trailing", "junk after the string"},
      {"\"bad\"=dword:xyz", "dword without digits"},
      {"\"bad\"=dword:123456789", "dword of nine digits"},
      {"\"bad\"=dword:12 34", "junk after the dword"},
      {"\"bad\"=hex:01,zz", "hex byte that is no hex"},
      {"\"bad\"=hex:01 02", "hex bytes without comma"},
      {"\"bad\"=hex:123", "hex byte of three digits"},
      {"\"bad\"=hex(2:41", "hex type without ')'"},
      {"\"bad\"=str(2)\"x\"", "str type without ':'"},
      {"\"bad\"=blob:01", "unknown data kind"},
      {"\"bad\"", "value without '='"},
      {"\"bad=\"x\"", "name without closing quote"},
      {"@bad=\"x\"", "default value with junk"},
      {"garbage line", "no key, no value"},
      {std::string("\"bad\"=\"a\0b", 10), "NUL inside an unterminated string"},
      {"\"bad\"=\"ends in \\", "string ending in a lone backslash"},
  };
  for (const Case& c : cases) {
    const std::string text = "WINE REGISTRY Version 2\n[K]\n\"before\"=\"1\"\n" + c.line +
                             "\n\"after\"=\"2\"\n[L]\n\"other\"=\"3\"\n";
    const Hive h = Hive::Parse(text);
    auto k = h.FindKey("K");
    ASSERT_TRUE(k.has_value()) << c.why;
    EXPECT_EQ(Data(k->Find("before")), "1") << c.why;
    EXPECT_EQ(Data(k->Find("after")), "2") << c.why;
    EXPECT_EQ(k->Find("bad"), nullptr) << c.why;
    auto l = h.FindKey("L");
    ASSERT_TRUE(l.has_value()) << c.why;
    EXPECT_EQ(Data(l->Find("other")), "3") << c.why;
  }
}

TEST(Hive, ValuesAfterADamagedKeyLineAreNotFiledUnderThePreviousKey) {
  const Hive h = Hive::Parse(
      "WINE REGISTRY Version 2\n[K]\n\"a\"=\"1\"\n[Broken\\\\Key\n\"b\"=\"2\"\n[M]\n\"c\"=\"3\"\n");
  auto k = h.FindKey("K");
  ASSERT_TRUE(k.has_value());
  EXPECT_EQ(Data(k->Find("a")), "1");
  EXPECT_EQ(k->Find("b"), nullptr);
  EXPECT_FALSE(h.FindKey("Broken").has_value());
  auto m = h.FindKey("M");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(Data(m->Find("c")), "3");
}

TEST(Hive, ValuesBeforeAnyKeyAreIgnoredAndLaterDuplicatesWin) {
  const Hive h = Hive::Parse(
      "WINE REGISTRY Version 2\n\"stray\"=\"0\"\n[K]\n\"X\"=\"1\"\n[k]\n\"x\"=\"2\"\n");
  EXPECT_EQ(h.KeyCount(), 1u);
  auto k = h.FindKey("K");
  ASSERT_TRUE(k.has_value());
  EXPECT_EQ(Data(k->Find("x")), "2");
  EXPECT_EQ(k->Find("stray"), nullptr);
}

TEST(Hive, ATruncatedFileKeepsEveryValueWhoseLineWasComplete) {
  struct Expect {
    const char* key;
    const char* name;
    std::string data;
    std::size_t lineEnd;  // offset just after the value's last line
  };
  auto endOf = [](const std::string& marker) { return kGood.find(marker) + marker.size(); };
  const Expect expected[] = {
      {"Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files",
       endOf("Program Files\"\n")},
      {"Software\\Microsoft\\Windows\\CurrentVersion", "Count", std::string("\x1f\0\0\0", 4),
       endOf("0000001f\n")},
      {"Software\\Microsoft\\Windows\\CurrentVersion", "Blob", std::string("\x01\x02\xff\x10\x20", 5),
       endOf("10,20\n")},
      {"Software\\Microsoft\\Windows\\CurrentVersion", "", "the default", endOf("default\"\n")},
  };
  for (std::size_t cut = 0; cut <= kGood.size(); ++cut) {
    const Hive h = Hive::Parse(std::string_view(kGood).substr(0, cut));
    for (const Expect& e : expected) {
      if (cut < e.lineEnd) continue;
      auto key = h.FindKey(e.key);
      ASSERT_TRUE(key.has_value()) << "cut " << cut;
      EXPECT_EQ(Data(key->Find(e.name)), e.data) << "cut " << cut << " value " << e.name;
    }
  }
}

TEST(Hive, AMissingFileIsAnEmptyHive) {
  const Hive h = Hive::Load("/nonexistent/folder/system.reg");
  EXPECT_EQ(h.KeyCount(), 0u);
  EXPECT_TRUE(h.FindKey("").has_value());
  EXPECT_FALSE(h.FindKey("Software").has_value());
}

TEST(Hive, LoadReadsAFile) {
  char name[] = "/tmp/hive-test-XXXXXX";
  const int fd = mkstemp(name);
  ASSERT_GE(fd, 0);
  FILE* f = fdopen(fd, "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(kGood.data(), 1, kGood.size(), f);
  std::fclose(f);
  const Hive h = Hive::Load(name);
  std::remove(name);
  auto key = h.FindKey("Software\\Microsoft\\Windows\\CurrentVersion");
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(Data(key->Find("ProgramFilesDir")), "C:\\Program Files");
}

TEST(Hive, EscapesInQuotedTexts) {
  struct Case {
    std::string quoted;  // after the opening quote, up to and including the closing one
    std::string utf8;
  };
  const Case cases[] = {
      {R"(a\\b")", "a\\b"},
      {R"(say \"hi\"")", "say \"hi\""},
      {R"(\n\t\r\a\b\e\f\v")", "\n\t\r\a\b\x1b\f\v"},
      {R"(x\0y")", std::string("x\0y", 3)},
      {R"(\101\60")", "A0"},                       // octal, up to three digits
      {R"(\1012")", "A2"},                         // a fourth digit is text
      {R"(\x41\x3042")", "A\xE3\x81\x82"},         // UTF-16 units, up to four digits
      {R"(\x304112")", "\xE3\x81\x81" "12"},       // a fifth digit is text
      {R"(\x41g")", "Ag"},
      {R"(\xd83d\xde00")", "\xF0\x9F\x98\x80"},    // a surrogate pair
      {R"(\xd83dx")", "\xEF\xBF\xBDx"},            // a lone high surrogate
      {R"(\xde00")", "\xEF\xBF\xBD"},              // a lone low surrogate
      {R"(\xzz")", "xzz"},                         // \x without digits
      {R"(\[\]\q")", "[]q"},
      {"\xE3\x83\x87\xE3\x82\xB9\"", "\xE3\x83\x87\xE3\x82\xB9"},  // raw UTF-8 passes
  };
  for (const Case& c : cases) {
    std::size_t used = 0;
    auto text = hive::Unescape(c.quoted, '"', &used);
    ASSERT_TRUE(text.has_value()) << c.quoted;
    EXPECT_EQ(*text, c.utf8) << c.quoted;
    EXPECT_EQ(used, c.quoted.size()) << c.quoted;
  }
  EXPECT_FALSE(hive::Unescape("no end", '"', nullptr).has_value());
  EXPECT_FALSE(hive::Unescape("escaped end\\\"", '"', nullptr).has_value());
  EXPECT_FALSE(hive::Unescape("ends in \\", '"', nullptr).has_value());

  // The same escapes work in key names, where ']' ends the name.
  const Hive h = Hive::Parse("WINE REGISTRY Version 2\n[A\\\\B\\]C\\x41]\n\"v\"=\"1\"\n");
  EXPECT_TRUE(h.FindKey("a\\b]ca").has_value());
}

TEST(Hive, HexListsContinueOverLines) {
  const Hive h = Hive::Parse(
      "WINE REGISTRY Version 2\r\n[K]\r\n"
      "\"three\"=hex:01,\\\r\n  02,\\\r\n\t03\r\n"
      "\"typed\"=hex(7):41,00,00,00,\\\n  00,00\n"
      "\"empty\"=hex:\n"
      "\"cut\"=hex:01,\\\n[Next]\n\"n\"=\"1\"\n"
      "\"last\"=hex:05,\\\n");
  auto k = h.FindKey("K");
  ASSERT_TRUE(k.has_value());
  EXPECT_EQ(Data(k->Find("three")), std::string("\x01\x02\x03"));
  const hive::Value* typed = k->Find("typed");
  ASSERT_NE(typed, nullptr);
  EXPECT_EQ(typed->type, hive::REG_MULTI_SZ);
  EXPECT_EQ(typed->data, std::string("A\0\0\0\0\0", 6));
  const hive::Value* empty = k->Find("empty");
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->data.empty());
  // A list broken off by the next key line is dropped; that key still counts.
  EXPECT_EQ(k->Find("cut"), nullptr);
  auto next = h.FindKey("Next");
  ASSERT_TRUE(next.has_value());
  EXPECT_EQ(Data(next->Find("n")), "1");
  // A continuation at the very end of the file has nothing to continue with.
  EXPECT_EQ(next->Find("last"), nullptr);
}

// Random damage to a good file: the reader must neither crash nor keep more
// than the damaged bytes could describe.
TEST(Hive, SurvivesRandomDamage) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string text = kGood;
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = rng() % text.size();
      switch (rng() % 3) {
        case 0: text[at] = static_cast<char>(rng() & 0xFF); break;
        case 1: text.erase(at, 1 + rng() % 4); break;
        default: text.insert(at, 1, "\\\"[]\n,:(x"[rng() % 9]); break;
      }
      if (text.empty()) text = "W";
    }
    const Hive h = Hive::Parse(text);
    EXPECT_LE(h.KeyCount(), text.size());
  }
}

}  // namespace
