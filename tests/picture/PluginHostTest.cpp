// The image plug-in host: listing the plug-ins and decoding through the first
// one that declares support, with test plug-ins that decline, fault, lack
// entry points, fail after declaring support or hand back bad blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/gui/Exception.h"
#include "platform/gui/Graphics.h"
#include "platform/system/Files.h"
#include "platform/system/LocalMemory.h"
#include "tests/picture/PictureSupport.h"

namespace {

using namespace picture_test;

// The first byte of every picture file used here, which each plug-in reports
// as the first byte it read through the handle it was given.
constexpr char kFirstByte = 'P';
const std::string kPicture = std::string(1, kFirstByte) + "icture data, not decoded by content";

// Modules that loaded and never unloaded again.
std::vector<std::string> StillLoaded() {
  std::map<std::string, int> balance;
  for (const Event& e : Events()) {
    if (e.event == "load") ++balance[e.module];
    if (e.event == "unload") --balance[e.module];
  }
  std::vector<std::string> loaded;
  for (const auto& [module, n] : balance)
    if (n != 0) loaded.push_back(module);
  return loaded;
}

class PluginHostTest : public ::testing::Test {
 protected:
  void SetUp() override { liveBlocks_ = localmem::LiveBlocks(); }
  void TearDown() override {
    installer_.DestroyForm();
    EXPECT_EQ(localmem::LiveBlocks(), liveBlocks_) << "local memory blocks leaked";
    EXPECT_TRUE(StillLoaded().empty()) << "a plug-in stayed loaded: " << StillLoaded().front();
  }

  // Puts plug-ins into the installer's folder in this order and makes the
  // form; the list is then set to exactly this order.
  TFrameForm& FormWithPlugins(const std::vector<std::pair<std::string, std::string>>& plugins) {
    for (const auto& [path, name] : plugins) installer_.AddModule(path, name);
    TFrameForm& form = installer_.MakeForm();
    form.PluginList->Clear();
    for (const auto& p : plugins) form.PluginList->Add(p.second);
    form.PluginCount = static_cast<int32_t>(plugins.size());
    return form;
  }

  // Decodes a picture in the installer's folder, which is made current.
  bool Decode(TFrameForm& form, const std::string& name = "pic.gif") {
    SetCurrentDir("C:\\dist");
    return form.LoadPictureByPlugin(name, &bitmap_);
  }

  Installer installer_;
  TBitmap bitmap_;
  size_t liveBlocks_ = 0;
};

TEST_F(PluginHostTest, FindPluginsListsSpiFilesOfAnyCaseButNoFolders) {
  installer_.AddModule(FIXTURE_SPI_DECLINE_PATH, "b.spi");
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "DECODE.SPI");
  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "Mixed.Spi");
  installer_.WriteDist("notes.txt", "x");
  installer_.WriteDist("x.spix", "x");
  installer_.WriteDist("spi", "x");
  std::filesystem::create_directory(installer_.InDist("folder.spi"));
  TFrameForm& form = installer_.MakeForm();

  ASSERT_EQ(form.PluginCount, 3);
  ASSERT_EQ(form.PluginList->Count(), 3);
  std::set<std::string> names;
  for (int i = 0; i < form.PluginList->Count(); ++i) names.insert(form.PluginList->Strings(i));
  EXPECT_EQ(names, (std::set<std::string>{"b.spi", "DECODE.SPI", "Mixed.Spi"}));

  // The order is the search's own.
  WIN32_FIND_DATAA entry{};
  std::vector<std::string> searched;
  SetCurrentDir("C:\\dist");
  HANDLE h = FindFirstFileA("*.spi", &entry);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) searched.push_back(entry.cFileName);
  } while (FindNextFileA(h, &entry));
  FindClose(h);
  std::vector<std::string> listed;
  for (int i = 0; i < form.PluginList->Count(); ++i) listed.push_back(form.PluginList->Strings(i));
  EXPECT_EQ(listed, searched);
}

TEST_F(PluginHostTest, FindPluginsStartsAfreshAndFindsNothingInAFolderWithout) {
  TFrameForm& form = installer_.MakeForm();
  EXPECT_EQ(form.PluginCount, 0);
  EXPECT_EQ(form.PluginList->Count(), 0);

  installer_.AddModule(FIXTURE_SPI_FIXED_PATH, "one.spi");
  form.PluginList->Add("stale.spi");
  form.PluginCount = 1;
  SetCurrentDir("C:\\dist");
  form.FindPlugins();
  ASSERT_EQ(form.PluginCount, 1);
  EXPECT_EQ(form.PluginList->Strings(0), "one.spi");
}

// One decoding attempt: plug-ins in list order, and what must come of it.
struct DecodeCase {
  const char* what;
  std::vector<std::pair<const char*, const char*>> plugins;  // built path, name in the folder
  bool result;
  std::vector<std::string> calls;  // module:event, load/unload left out
};
void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.what; }


class PluginDecodeTest : public PluginHostTest, public ::testing::WithParamInterface<DecodeCase> {};

TEST_P(PluginDecodeTest, EndsAsExpected) {
  const DecodeCase& c = GetParam();
  std::vector<std::pair<std::string, std::string>> plugins;
  for (const auto& [path, name] : c.plugins) plugins.emplace_back(path, name);
  installer_.WriteDist("pic.gif", kPicture);
  TFrameForm& form = FormWithPlugins(plugins);
  ClearEvents();

  EXPECT_EQ(Decode(form), c.result) << c.what;
  EXPECT_EQ(Calls(), c.calls) << c.what;

  // Every plug-in that was asked read the file from its start.
  for (const Event& e : Events())
    if (e.event == "IsSupported") {
      EXPECT_EQ(e.value, kFirstByte) << c.what << ": " << e.module;
    }
  // The picture file is no longer held: an unshared open succeeds.
  const int again = FileOpen("pic.gif", 0);
  EXPECT_GE(again, 0) << c.what;
  if (again >= 0) FileClose(again);

  if (c.result) {
    ASSERT_EQ(bitmap_.Width(), 4);
    ASSERT_EQ(bitmap_.Height(), 2);
    EXPECT_EQ(PixelAt(&bitmap_, 0, 0), 0xFF0000u);
    EXPECT_EQ(PixelAt(&bitmap_, 3, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(&bitmap_, 0, 1), 0x000000u);
    EXPECT_EQ(PixelAt(&bitmap_, 2, 1), 0xFFFF00u);
  }
}

const std::vector<std::string> kFixedDecodes = {"fixed.spi:IsSupported", "fixed.spi:GetPictureInfo",
                                                "fixed.spi:GetPicture"};

std::vector<std::string> Then(std::vector<std::string> first, const std::vector<std::string>& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PluginDecodeTest,
    ::testing::Values(
        DecodeCase{"no plug-ins", {}, false, {}},
        DecodeCase{"one that decodes", {{FIXTURE_SPI_FIXED_PATH, "fixed.spi"}}, true, kFixedDecodes},
        DecodeCase{"one that declines, then one that decodes",
                   {{FIXTURE_SPI_DECLINE_PATH, "decline.spi"}, {FIXTURE_SPI_FIXED_PATH, "fixed.spi"}},
                   true,
                   Then({"decline.spi:IsSupported"}, kFixedDecodes)},
        DecodeCase{"declines only", {{FIXTURE_SPI_DECLINE_PATH, "decline.spi"}}, false, {"decline.spi:IsSupported"}},
        DecodeCase{"a fault in IsSupported counts as declining",
                   {{FIXTURE_SPI_CRASH_PATH, "crash.spi"}, {FIXTURE_SPI_FIXED_PATH, "fixed.spi"}},
                   true,
                   Then({"crash.spi:IsSupported"}, kFixedDecodes)},
        DecodeCase{"a module without IsSupported is skipped",
                   {{FIXTURE_SPI_NO_ISSUPPORTED_PATH, "none.spi"}, {FIXTURE_SPI_FIXED_PATH, "fixed.spi"}},
                   true,
                   kFixedDecodes},
        DecodeCase{"failing after declaring support ends the search",
                   {{FIXTURE_SPI_INFO_FAIL_PATH, "fail.spi"}, {FIXTURE_SPI_FIXED_PATH, "fixed.spi"}},
                   false,
                   {"fail.spi:IsSupported", "fail.spi:GetPictureInfo"}},
        DecodeCase{"a fault in GetPicture ends the search",
                   {{FIXTURE_SPI_PICTURE_CRASH_PATH, "crash.spi"}, {FIXTURE_SPI_FIXED_PATH, "fixed.spi"}},
                   false,
                   {"crash.spi:IsSupported", "crash.spi:GetPictureInfo", "crash.spi:GetPicture"}},
        DecodeCase{"two that support the file: the first wins",
                   {{FIXTURE_SPI_FIXED_PATH, "fixed.spi"}, {FIXTURE_SPI_FIXED_PATH, "second.spi"}},
                   true,
                   kFixedDecodes},
        DecodeCase{"top-down rows land the right way up",
                   {{FIXTURE_SPI_TOPDOWN_PATH, "fixed.spi"}},
                   true,
                   kFixedDecodes},
        DecodeCase{"handles that are no local blocks fail the transfer",
                   {{FIXTURE_SPI_BOGUS_HANDLES_PATH, "bogus.spi"}},
                   false,
                   {"bogus.spi:IsSupported", "bogus.spi:GetPictureInfo", "bogus.spi:GetPicture"}}));

// The list may name a module that is not in the folder or not a module.
TEST_F(PluginHostTest, ModulesThatCannotBeLoadedAreSkipped) {
  installer_.WriteDist("pic.gif", kPicture);
  installer_.WriteDist("junk.spi", "not a module at all");
  TFrameForm& form = FormWithPlugins({{FIXTURE_SPI_FIXED_PATH, "fixed.spi"}});
  form.PluginList->Clear();
  for (const char* name : {"missing.spi", "junk.spi", "fixed.spi"}) form.PluginList->Add(name);
  form.PluginCount = 3;
  ClearEvents();
  EXPECT_TRUE(Decode(form));
  EXPECT_EQ(Calls(), kFixedDecodes);
}

TEST_F(PluginHostTest, AMissingPictureLoadsNoPlugin) {
  TFrameForm& form = FormWithPlugins({{FIXTURE_SPI_FIXED_PATH, "fixed.spi"}});
  ClearEvents();
  EXPECT_FALSE(Decode(form, "absent.gif"));
  EXPECT_TRUE(Events().empty());
}

TEST_F(PluginHostTest, TheFileIsHeldUnsharedWhileIsSupportedRunsAndClosedBeforeTheRest) {
  installer_.WriteDist("pic.gif", kPicture);
  TFrameForm& form = FormWithPlugins(
      {{FIXTURE_SPI_DECLINE_PATH, "decline.spi"}, {FIXTURE_SPI_OPEN_BY_NAME_PATH, "byname.spi"}});
  ClearEvents();
  EXPECT_TRUE(Decode(form));
  long inIsSupported = 0;
  long inInfo = -1;
  for (const Event& e : Events()) {
    if (e.event == "OpenByNameInIsSupported") inIsSupported = e.value;
    if (e.event == "OpenByNameInGetPictureInfo") inInfo = e.value;
  }
  EXPECT_EQ(inIsSupported, -1) << "the plug-in could open the file by name while the host held it";
  EXPECT_GE(inInfo, 0) << "the file was still held after the plug-in declared support";
}

TEST_F(PluginHostTest, APixelBlockShorterThanItsHeaderIsNotReadPastItsEnd) {
  // The block holds 5 bytes, less than one 12-byte row: no row is there to
  // copy. The transfer's own count is not examined, so the picture counts as
  // decoded, sized from the record and left as the bitmap was (white); nothing
  // is read past the block (the sanitizer build would catch it).
  installer_.WriteDist("pic.gif", kPicture);
  TFrameForm& form = FormWithPlugins({{FIXTURE_SPI_SHORT_PATH, "short.spi"}});
  ClearEvents();
  EXPECT_TRUE(Decode(form));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"short.spi:IsSupported", "short.spi:GetPictureInfo",
                                               "short.spi:GetPicture"}));
  ASSERT_EQ(bitmap_.Width(), 4);
  ASSERT_EQ(bitmap_.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(&bitmap_, x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(PluginHostTest, ABitmapThatCannotBeMadePassesOutAfterEverythingIsReleased) {
  installer_.WriteDist("pic.gif", kPicture);
  TFrameForm& form = FormWithPlugins({{FIXTURE_SPI_HUGE_PATH, "huge.spi"}});
  ClearEvents();
  EXPECT_THROW(Decode(form), Exception);
  // TearDown checks that both blocks were freed and the module unloaded.
}

TEST_F(PluginHostTest, TheRealGifPluginDecodesAGif) {
  installer_.WriteDist("pic.gif", MakeGif(6, 3));
  TFrameForm& form = FormWithPlugins({{FIXTURE_SPI_DECLINE_PATH, "decline.spi"}, {GIFVIEW_PATH, "GifView.spi"}});
  ASSERT_TRUE(Decode(form));
  ASSERT_EQ(bitmap_.Width(), 6);
  ASSERT_EQ(bitmap_.Height(), 3);
  EXPECT_EQ(PixelAt(&bitmap_, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(&bitmap_, 5, 2), 0x0000FFu);
}

}  // namespace
