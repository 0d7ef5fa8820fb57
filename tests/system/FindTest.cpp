// FindFirstFileA / FindNextFileA / FindClose.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/system/Files.h"
#include "tests/support/TempRoot.h"
#include "tests/text/CodePageScope.h"

namespace {

class FindTest : public ::testing::Test {
 protected:
  // Every entry the search delivers, in order, with its folder flag.
  struct Entry {
    std::string name;
    bool folder;
    bool operator==(const Entry&) const = default;
  };
  static std::vector<Entry> FindAll(const std::string& pattern) {
    std::vector<Entry> out;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return out;
    do {
      out.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return out;
  }
  static DWORD FailureOf(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    SetLastError(0);
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      return 0;
    }
    return GetLastError();
  }

  TempRoot root;
};

TEST_F(FindTest, ANameWithoutWildcardsFindsThatEntryInItsRealCase) {
  root.MakeFolder("C:\\Dist\\Sub");
  root.WriteFile("C:\\Dist\\Readme.txt", "12345");
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA("c:\\DIST\\readme.TXT", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(data.cFileName, "Readme.txt");
  EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(data.nFileSizeLow, 5u);
  EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(search));
  EXPECT_EQ(FindAll("C:\\Dist\\sub"), (std::vector<Entry>{{"Sub", true}}));
  EXPECT_EQ(FindAll("C:\\Program Files"), (std::vector<Entry>{{"Program Files", true}}));
}

TEST_F(FindTest, FailuresSayWhatWasMissing) {
  root.WriteFile("C:\\file.txt", "x");
  struct Case {
    std::string pattern;
    DWORD error;
  };
  const Case cases[] = {
      {"C:\\missing", ERROR_FILE_NOT_FOUND},
      {"C:\\missing\\x", ERROR_PATH_NOT_FOUND},
      {"C:\\missing\\*.spi", ERROR_PATH_NOT_FOUND},
      {"C:\\file.txt\\x", ERROR_PATH_NOT_FOUND},
      {"C:\\*.none", ERROR_FILE_NOT_FOUND},
      {"C:\\", ERROR_FILE_NOT_FOUND},  // a drive root is no entry
      {"C:", ERROR_FILE_NOT_FOUND},
      {"D:\\", ERROR_FILE_NOT_FOUND},
      {"C:\\Program Files\\", ERROR_FILE_NOT_FOUND},
      {"C:\\Program Files\\..", ERROR_FILE_NOT_FOUND},
      {"C:\\a<b\\*.spi", ERROR_INVALID_NAME},
      {"C:\\a|b", ERROR_INVALID_NAME},
      {"C:\\*<.spi", ERROR_INVALID_NAME},
      {"Q:\\x", ERROR_INVALID_DRIVE},
      {"C:\\" + std::string(257, 'a'), ERROR_FILENAME_EXCED_RANGE},
      {"", ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) EXPECT_EQ(FailureOf(c.pattern), c.error) << c.pattern;
  EXPECT_EQ(FailureOf("C:\\" + std::string(256, 'a')), ERROR_FILE_NOT_FOUND);  // 259 bytes
}

TEST_F(FindTest, APatternListsMatchingEntriesInFolderOrderWithoutDotEntries) {
  root.MakeFolder("C:\\Dist\\folder.spi");
  for (const char* name : {"a.spi", "DECODE.SPI", "c.spi2", "x.txt", "spi", "b.Spi"}) {
    root.WriteFile(std::string("C:\\Dist\\") + name, "x");
  }
  std::vector<Entry> expected;
  DIR* dir = opendir(root.Host("C:\\Dist").c_str());
  ASSERT_NE(dir, nullptr);
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    if (lower.size() > 4 && lower.substr(lower.size() - 4) == ".spi") {
      expected.push_back({name, name == "folder.spi"});
    }
  }
  closedir(dir);
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(FindAll("C:\\Dist\\*.spi"), expected);

  ASSERT_EQ(chdir(root.Host("C:\\Dist").c_str()), 0);
  EXPECT_EQ(FindAll("*.spi"), expected);  // relative to the current folder
  EXPECT_EQ(FindAll("*").size(), 7u);     // no "." and ".."
  EXPECT_EQ(FindAll("*.*").size(), 7u);   // "*.*" matches names without a dot too
  EXPECT_EQ(FindAll("?.spi").size(), 2u);
  EXPECT_EQ(FindAll("C:*.txt"), (std::vector<Entry>{}));  // "C:" is the root of C: here
}

TEST_F(FindTest, QuestionMarkStandsForOneDoubleByteCharacterUnderCp932) {
  CodePageScope cp932(CodePage::Cp932);
  root.MakeFolder("C:\\Dist");
  root.WriteFile("C:\\Dist\\ソ.spi", "x");
  root.WriteFile("C:\\Dist\\ab.spi", "x");
  const std::string so = "\x83\x5C";
  EXPECT_EQ(FindAll("C:\\Dist\\?.spi"), (std::vector<Entry>{{so + ".spi", false}}));
  EXPECT_EQ(FindAll("C:\\Dist\\" + so + ".SPI"), (std::vector<Entry>{{so + ".spi", false}}));
}

TEST_F(FindTest, HandlesThatAreNotSearchesAreRefused) {
  int notASearch = 0;
  WIN32_FIND_DATAA data;
  EXPECT_FALSE(FindNextFileA(&notASearch, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
  HANDLE search = FindFirstFileA("C:\\Program Files", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindClose(search));  // closed twice
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
