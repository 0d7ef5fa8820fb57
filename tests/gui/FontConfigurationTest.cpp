// The font configuration the window layer reads for fontconfig: it matches
// fonts exactly as the configuration fontconfig makes for itself, and it is
// the one in use once loaded.
#include <fontconfig/fontconfig.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/gui/FontConfiguration.h"

namespace {

std::string Unparsed(FcPattern* pattern) {
  FcChar8* text = FcNameUnparse(pattern);
  std::string result = text != nullptr ? reinterpret_cast<const char*>(text) : "";
  FcStrFree(text);
  return result;
}

// The request after the configuration's rules, and the font it is given.
std::string Match(FcConfig* config, const char* request) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(request));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  std::string result = Unparsed(pattern);
  FcResult outcome = FcResultNoMatch;
  FcPattern* font = FcFontMatch(config, pattern, &outcome);
  result += " => " + (font != nullptr ? Unparsed(font) : std::string("none"));
  FcPatternDestroy(font);
  FcPatternDestroy(pattern);
  return result;
}

// The files of the first fonts in fallback order.
std::vector<std::string> Fallbacks(FcConfig* config, const char* request) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(request));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult outcome = FcResultNoMatch;
  FcFontSet* set = FcFontSort(config, pattern, FcTrue, nullptr, &outcome);
  std::vector<std::string> files;
  for (int i = 0; set != nullptr && i < set->nfont && i < 12; ++i) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
      files.emplace_back(reinterpret_cast<const char*>(file));
    }
  }
  FcFontSetDestroy(set);
  FcPatternDestroy(pattern);
  return files;
}

int FontCount(FcConfig* config) {
  FcPattern* all = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
  FcFontSet* set = FcFontList(config, all, objects);
  const int count = set != nullptr ? set->nfont : -1;
  FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(all);
  return count;
}

int ConfigurationFileCount(FcConfig* config) {
  FcConfigFileInfoIter files;
  FcConfigFileInfoIterInit(config, &files);
  int count = 0;
  do {
    FcChar8* name = nullptr;
    if (FcConfigFileInfoIterGet(config, &files, &name, nullptr, nullptr)) ++count;
    FcStrFree(name);
  } while (FcConfigFileInfoIterNext(config, &files));
  return count;
}

TEST(FontConfiguration, MatchesFontsAsFontconfigsOwnConfiguration) {
  FcConfig* ours = fontconfiguration::Read();
  ASSERT_NE(ours, nullptr);
  FcConfig* own = FcInitLoadConfigAndFonts();
  ASSERT_NE(own, nullptr);

  const char* const requests[] = {
      "IPAPGothic:pixelsize=12",
      "IPAPMincho:pixelsize=27:weight=bold:slant=italic",
      "IPAPMincho:pixelsize=13:weight=bold:lang=ja",
      "Sans Serif:pixelsize=12",
      "sans-serif:lang=ja",
      "serif",
      "monospace:weight=bold",
      "Arial:pixelsize=20",
      "MS PGothic",
      "No Such Family At All",
  };
  for (const char* request : requests) {
    SCOPED_TRACE(request);
    const std::string expected = Match(own, request);
    EXPECT_NE(expected.find(" => "), std::string::npos);
    EXPECT_EQ(Match(ours, request), expected);
    EXPECT_EQ(Fallbacks(ours, request), Fallbacks(own, request));
  }
  EXPECT_GT(FontCount(own), 0);
  EXPECT_EQ(FontCount(ours), FontCount(own));
  // Only the listing of templates is left out.
  EXPECT_LE(ConfigurationFileCount(ours), ConfigurationFileCount(own));

  FcConfigDestroy(own);
  FcConfigDestroy(ours);
}

TEST(FontConfiguration, ConfigurationReadInTheBackgroundBecomesTheCurrentOne) {
  fontconfiguration::Load(true);
  fontconfiguration::WaitUntilLoaded();
  FcConfig* ours = fontconfiguration::Read();
  ASSERT_NE(ours, nullptr);
  FcConfig* current = FcConfigReference(nullptr);
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(ConfigurationFileCount(current), ConfigurationFileCount(ours));
  EXPECT_EQ(Match(current, "IPAPMincho:pixelsize=29:weight=bold:slant=italic"),
            Match(ours, "IPAPMincho:pixelsize=29:weight=bold:slant=italic"));
  FcConfigDestroy(current);
  FcConfigDestroy(ours);
}

}  // namespace
