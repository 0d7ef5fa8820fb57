// The text form description parser: values, nesting and faults with their lines.
#include <gtest/gtest.h>

#include "platform/gui/Exception.h"
#include "platform/gui/FormText.h"

namespace {

using formtext::Value;

formtext::Value ParseValue(const std::string& written) {
  const auto root = formtext::Parse("object F: TF\n  P = " + written + "\nend\n", "T");
  EXPECT_EQ(root.properties.size(), 1u);
  return root.properties.at(0).value;
}

std::string FaultOf(const std::string& text) {
  try {
    formtext::Parse(text, "T");
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

struct StringCase {
  const char* written;
  const char* expected;  // UTF-8
};

class StringValues : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringValues, AreDecoded) {
  const Value v = ParseValue(GetParam().written);
  ASSERT_EQ(v.kind, Value::Kind::String);
  EXPECT_EQ(v.text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, StringValues,
                         ::testing::Values(StringCase{"' '", " "}, StringCase{"''", ""},
                                           StringCase{"'It''s'", "It's"}, StringCase{"'a'#65'b'", "aAb"},
                                           StringCase{"#12354", "あ"}, StringCase{"#$3042#13#10", "あ\r\n"},
                                           StringCase{"'ab' +\n    'cd'", "abcd"},
                                           StringCase{"'ab' + #67 + 'd'", "abCd"},
                                           StringCase{"'ＭＳ Ｐゴシック'", "ＭＳ Ｐゴシック"},
                                           StringCase{"#128512", "\xF0\x9F\x98\x80"}));

TEST(FormText, IntegersIdentifiersAndSets) {
  EXPECT_EQ(ParseValue("-12").integer, -12);
  EXPECT_EQ(ParseValue("383").integer, 383);
  EXPECT_EQ(ParseValue("$00FF8000").integer, 0xFF8000);
  const Value ident = ParseValue("alBottom");
  EXPECT_EQ(ident.kind, Value::Kind::Identifier);
  EXPECT_EQ(ident.text, "alBottom");
  const Value set = ParseValue("[fsBold, fsItalic]");
  ASSERT_EQ(set.kind, Value::Kind::Set);
  EXPECT_EQ(set.items, (std::vector<std::string>{"fsBold", "fsItalic"}));
  const Value empty = ParseValue("[]");
  EXPECT_EQ(empty.kind, Value::Kind::Set);
  EXPECT_TRUE(empty.items.empty());
}

TEST(FormText, NestedObjectsKeepOrderAndLines) {
  const auto root = formtext::Parse(
      "object Form1: TForm1\n"
      "  Caption = 'x'\n"
      "  object Panel1: TPanel\n"
      "    Font.Name = 'y'\n"
      "    object Label1: TLabel\n"
      "    end\n"
      "  end\n"
      "  object Edit1: TEdit\n"
      "  end\n"
      "end\n",
      "T");
  EXPECT_EQ(root.name, "Form1");
  EXPECT_EQ(root.className, "TForm1");
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].name, "Panel1");
  EXPECT_EQ(root.children[0].line, 3);
  EXPECT_EQ(root.children[0].properties.at(0).name, "Font.Name");
  EXPECT_EQ(root.children[0].properties.at(0).line, 4);
  ASSERT_EQ(root.children[0].children.size(), 1u);
  EXPECT_EQ(root.children[0].children[0].className, "TLabel");
  EXPECT_EQ(root.children[1].name, "Edit1");
}

struct FaultCase {
  const char* text;
  const char* message;  // a part of the error message
};

class Faults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(Faults, AreReportedWithTheirLine) {
  EXPECT_NE(FaultOf(GetParam().text).find(GetParam().message), std::string::npos) << FaultOf(GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Faults,
    ::testing::Values(FaultCase{"object F: TF\n  P = 'abc\nend\n", "line 2: unterminated string"},
                      FaultCase{"object F: TF\n  P = 1\n", "line 3: 'end' missing"},
                      FaultCase{"object F: TF\nend\nend\n", "line 3: text after the final 'end'"},
                      FaultCase{"F: TF\nend\n", "line 1: 'object' expected"},
                      FaultCase{"object F TF\nend\n", "line 1: ':' expected"},
                      FaultCase{"object F: TF\n  P 1\nend\n", "line 2: '=' expected"},
                      FaultCase{"object F: TF\n  P = 1.5\nend\n", "line 2: unsupported number"},
                      FaultCase{"object F: TF\n  P = #55296\nend\n", "line 2: bad character code"},
                      FaultCase{"object F: TF\n  P = 'a' +\nend\n", "line 3: string expected after '+'"},
                      FaultCase{"object F: TF\n  P = [a b]\nend\n", "line 2: ',' expected"},
                      FaultCase{"object F: TF\n  P = {0011}\nend\n", "line 2: unsupported value '{'"},
                      FaultCase{"object F: TF\n  inherited X: TY\n  end\nend\n", "line 2: unsupported 'inherited'"},
                      FaultCase{"object F: TF\n  P = $1FFFFFFFF\nend\n", "line 2: number out of range"},
                      FaultCase{"object F: TF\n  P = #", "line 2: number expected"}));

TEST(FormText, DeepNestingIsRefused) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "object A" + std::to_string(i) + ": TPanel\n";
  for (int i = 0; i < 100; ++i) text += "end\n";
  EXPECT_NE(FaultOf(text).find("nested too deeply"), std::string::npos);
}

TEST(FormText, NamesIgnoreCase) {
  EXPECT_TRUE(formtext::SameName("Font.Name", "font.NAME"));
  EXPECT_FALSE(formtext::SameName("Left", "Lef"));
  const auto root = formtext::Parse("OBJECT F: TF\n  Left = 1\nEnd\n", "T");
  EXPECT_EQ(root.properties.size(), 1u);
}

}  // namespace
