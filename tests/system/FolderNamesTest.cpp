// Names found without regard to case stay right while other programs change
// the folders: each change is seen by the very next lookup, also when it
// comes at once after the folder was read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/system/FolderNames.h"
#include "platform/system/Paths.h"
#include "tests/support/TempRoot.h"

namespace fs = std::filesystem;

namespace {

class FolderNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    foldernames::Forget();
    root.MakeFolder("C:\\Dir");
    Touch("C:\\Dir\\ReadMe.txt");
    c = fs::canonical(root.Host("C:\\")).string();
  }
  void TearDown() override { foldernames::Forget(); }

  void Touch(const std::string& win) { std::ofstream(root.Host(win)) << "x"; }
  std::string Found(const std::string& win) {
    auto host = paths::ToHost(win);
    return host ? host->substr(c.size()) : "(none)";
  }

  TempRoot root;
  std::string c;
};

TEST_F(FolderNamesTest, EveryChangeIsSeenByTheNextLookup) {
  // Each step changes the folder right after a lookup read it.
  struct Step {
    const char* what;
    void (*change)(const TempRoot&);
    const char* lookup;
    const char* expected;
  };
  const Step steps[] = {
      {"as it was", [](const TempRoot&) {}, "C:\\Dir\\README.TXT", "/Dir/ReadMe.txt"},
      {"renamed away",
       [](const TempRoot& r) { fs::rename(r.Host("C:\\Dir\\ReadMe.txt"), r.Host("C:\\Dir\\Notes.txt")); },
       "C:\\Dir\\README.TXT", "/Dir/README.TXT"},
      {"renamed to", [](const TempRoot&) {}, "C:\\Dir\\notes.TXT", "/Dir/Notes.txt"},
      {"made in another case", [](const TempRoot& r) { std::ofstream(r.Host("C:\\Dir\\readme.TXT")) << "x"; },
       "C:\\Dir\\README.TXT", "/Dir/readme.TXT"},
      {"removed", [](const TempRoot& r) { fs::remove(r.Host("C:\\Dir\\readme.TXT")); }, "C:\\Dir\\readme.txt",
       "/Dir/readme.txt"},
      {"a folder made", [](const TempRoot& r) { fs::create_directory(r.Host("C:\\Dir\\Sub")); },
       "C:\\DIR\\SUB\\new.txt", "/Dir/Sub/new.txt"},
      {"a file made in the new folder", [](const TempRoot& r) { std::ofstream(r.Host("C:\\Dir\\Sub\\New.TXT")) << "x"; },
       "C:\\dir\\sub\\NEW.txt", "/Dir/Sub/New.TXT"},
      {"a folder moved in from elsewhere",
       [](const TempRoot& r) {
         fs::create_directories(r.Host("C:\\Elsewhere\\Moved"));
         fs::rename(r.Host("C:\\Elsewhere\\Moved"), r.Host("C:\\Dir\\Moved"));
       },
       "C:\\Dir\\MOVED", "/Dir/Moved"},
  };
  for (const Step& step : steps) {
    step.change(root);
    EXPECT_EQ(Found(step.lookup), step.expected) << step.what;
  }
}

TEST_F(FolderNamesTest, AFolderReplacedUnderItsPathIsReadAnew) {
  EXPECT_EQ(Found("C:\\Dir\\readme.txt"), "/Dir/ReadMe.txt");
  fs::rename(root.Host("C:\\Dir"), root.Host("C:\\Old"));
  root.MakeFolder("C:\\Dir");
  Touch("C:\\Dir\\Other.TXT");
  EXPECT_EQ(Found("C:\\Dir\\readme.txt"), "/Dir/readme.txt");
  EXPECT_EQ(Found("C:\\Dir\\OTHER.txt"), "/Dir/Other.TXT");
  EXPECT_EQ(Found("C:\\Old\\README.txt"), "/Old/ReadMe.txt");
}

TEST_F(FolderNamesTest, OneFolderReachedThroughALinkAndDirectly) {
  fs::create_directory_symlink(root.Host("C:\\Dir"), root.Host("C:\\Link"));
  EXPECT_EQ(Found("C:\\Link\\readme.txt"), "/Link/ReadMe.txt");
  EXPECT_EQ(Found("C:\\Dir\\readme.txt"), "/Dir/ReadMe.txt");
  Touch("C:\\Dir\\Late.txt");
  EXPECT_EQ(Found("C:\\Link\\LATE.TXT"), "/Link/Late.txt");

  // The link now leads to another folder.
  root.MakeFolder("C:\\Other");
  Touch("C:\\Other\\Second.txt");
  fs::remove(root.Host("C:\\Link"));
  fs::create_directory_symlink(root.Host("C:\\Other"), root.Host("C:\\Link"));
  EXPECT_EQ(Found("C:\\Link\\readme.txt"), "/Link/readme.txt");
  EXPECT_EQ(Found("C:\\Link\\SECOND.TXT"), "/Link/Second.txt");
}

TEST_F(FolderNamesTest, NamesDifferingOnlyInCase) {
  Touch("C:\\Dir\\README.TXT");
  const std::string first = Found("C:\\Dir\\readme.txt");
  ASSERT_TRUE(first == "/Dir/ReadMe.txt" || first == "/Dir/README.TXT") << first;
  fs::remove(c + first);
  const std::string other = first == "/Dir/ReadMe.txt" ? "/Dir/README.TXT" : "/Dir/ReadMe.txt";
  EXPECT_EQ(Found("C:\\Dir\\readme.txt"), other);
}

// More folders than are kept: the oldest are dropped and read again.
TEST_F(FolderNamesTest, ManyFolders) {
  for (int i = 0; i < 150; ++i) {
    const std::string folder = "C:\\Many\\F" + std::to_string(i);
    root.MakeFolder(folder);
    Touch(folder + "\\Name.txt");
    EXPECT_EQ(Found(folder + "\\NAME.TXT"), "/Many/F" + std::to_string(i) + "/Name.txt");
  }
  for (int i = 0; i < 150; i += 7) {
    const std::string folder = "C:\\Many\\F" + std::to_string(i);
    fs::rename(root.Host(folder + "\\Name.txt"), root.Host(folder + "\\Renamed.txt"));
    EXPECT_EQ(Found(folder + "\\NAME.TXT"), "/Many/F" + std::to_string(i) + "/NAME.TXT");
    EXPECT_EQ(Found(folder + "\\renamed.TXT"), "/Many/F" + std::to_string(i) + "/Renamed.txt");
  }
}

}  // namespace
