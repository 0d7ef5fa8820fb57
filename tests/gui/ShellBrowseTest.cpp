// The browse button's shell calls over the dialog host.
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/gui/ShellBrowse.h"
#include "tests/support/ScriptedDialogHost.h"

namespace {

BROWSEINFOA Params(void* owner, const char* title) {
  BROWSEINFOA bi{};
  bi.hwndOwner = owner;
  bi.lpszTitle = title;
  return bi;
}

TEST(ShellBrowse, TheChosenFolderComesBackAsAPath) {
  ScriptedDialogHost host;
  host.AnswerFolder(AnsiString("D:\\Tools"));
  int owner = 0;
  BROWSEINFOA bi = Params(&owner, "フォルダを選択して下さい。");
  LPITEMIDLIST list = SHBrowseForFolderA(&bi);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(host.Browses().size(), 1u);
  EXPECT_EQ(host.Browses()[0].title, "フォルダを選択して下さい。");
  EXPECT_EQ(host.Browses()[0].owner, &owner);
  const auto path = std::make_unique<char[]>(MAX_PATH);
  EXPECT_EQ(SHGetPathFromIDListA(list, path.get()), CORVALEN_TRUE);
  EXPECT_STREQ(path.get(), "D:\\Tools");
  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  ASSERT_NE(malloc, nullptr);
  malloc->Free(list);
  malloc->Release();
  // A freed list is no longer an item.
  EXPECT_EQ(SHGetPathFromIDListA(list, path.get()), CORVALEN_FALSE);
  EXPECT_STREQ(path.get(), "");
}

TEST(ShellBrowse, CancelGivesNoList) {
  ScriptedDialogHost host;
  host.AnswerFolder(std::nullopt);
  BROWSEINFOA bi = Params(nullptr, "t");
  EXPECT_EQ(SHBrowseForFolderA(&bi), nullptr);
  EXPECT_EQ(host.Browses().size(), 1u);
}

TEST(ShellBrowse, PathsThatDoNotFitOrAreEmptyGiveNothing) {
  struct Case {
    AnsiString chosen;
    BOOL ok;
  };
  const Case table[] = {
      {"D:\\" + std::string(256, 'a'), CORVALEN_TRUE},   // 259 bytes and the zero: fits exactly
      {"D:\\" + std::string(257, 'a'), CORVALEN_FALSE},  // 260 bytes: does not
      {"", CORVALEN_FALSE},                               // an item without a path
      {"D:\\", CORVALEN_TRUE},
  };
  ScriptedDialogHost host;
  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  for (const Case& c : table) {
    host.AnswerFolder(c.chosen);
    BROWSEINFOA bi = Params(nullptr, "t");
    LPITEMIDLIST list = SHBrowseForFolderA(&bi);
    ASSERT_NE(list, nullptr);
    // Exactly MAX_PATH bytes: a write past them is caught by the sanitizer.
    const auto path = std::make_unique<char[]>(MAX_PATH);
    std::memset(path.get(), 'x', MAX_PATH);
    EXPECT_EQ(SHGetPathFromIDListA(list, path.get()), c.ok) << c.chosen.size();
    EXPECT_EQ(std::string(path.get()), c.ok ? c.chosen : "");
    malloc->Free(list);
  }
  malloc->Release();
}

TEST(ShellBrowse, TheDisplayNameIsWrittenWhenThereIsABuffer) {
  ScriptedDialogHost host;
  host.AnswerFolder(AnsiString("D:\\Apps\\Viewer"));
  char name[MAX_PATH] = "unchanged";
  BROWSEINFOA bi = Params(nullptr, "t");
  bi.pszDisplayName = name;
  LPITEMIDLIST list = SHBrowseForFolderA(&bi);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(name, "Viewer");
  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  malloc->Free(list);
  int foreign = 0;
  malloc->Free(&foreign);  // not a list of ours: left alone
  malloc->Release();
}

TEST(ShellBrowse, NullArgumentsAreHarmless) {
  EXPECT_EQ(SHBrowseForFolderA(nullptr), nullptr);
  char path[MAX_PATH] = "x";
  EXPECT_EQ(SHGetPathFromIDListA(nullptr, path), CORVALEN_FALSE);
  EXPECT_STREQ(path, "");
  EXPECT_EQ(SHGetMalloc(nullptr), E_INVALIDARG);
}

}  // namespace
