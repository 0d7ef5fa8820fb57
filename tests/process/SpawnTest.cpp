// Starting programs without waiting: where the program is found, what it is
// given, the viewer fallback for Notepad, failures, and no zombies.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/ProgramSearch.h"
#include "platform/process/Spawn.h"
#include "platform/system/Fault.h"

namespace {

namespace fs = std::filesystem;

// The ids of this process's children, alive or zombie, from /proc.
std::vector<int> ChildrenOfThisProcess() {
  std::vector<int> children;
  const int self = getpid();
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return children;
  while (dirent* e = readdir(proc)) {
    const int pid = std::atoi(e->d_name);
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...: comm may hold blanks, so read after the last ')'.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    char state = 0;
    int ppid = 0;
    rest >> state >> ppid;
    if (ppid == self) children.push_back(pid);
  }
  closedir(proc);
  return children;
}

class SpawnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/spawn-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    oldCwd_ = fs::current_path();
    const char* path = std::getenv("PATH");
    hadPath_ = path != nullptr;
    if (hadPath_) oldPath_ = path;
    fs::create_directory(dir_ + "/cwd");
    fs::current_path(dir_ + "/cwd");
    record_ = dir_ + "/record";
    setenv("SPAWN_TEST_RECORD", record_.c_str(), 1);
    setenv("SPAWN_TEST_MARK", "inherited", 1);
  }
  void TearDown() override {
    fault::Clear();
    fs::current_path(oldCwd_);
    if (hadPath_) {
      setenv("PATH", oldPath_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
    unsetenv("SPAWN_TEST_RECORD");
    unsetenv("SPAWN_TEST_MARK");
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A stand-in program: records its label, its folder, the inherited mark
  // and its arguments, one per line, then renames the record into place so
  // that a reader never sees half of it.
  void WriteProgram(const std::string& path, const std::string& label, bool executable = true) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "#!/bin/sh\n"
                        << "{ echo '" << label << "'; pwd -P; echo \"$SPAWN_TEST_MARK\";"
                        << " for a in \"$@\"; do echo \"$a\"; done; } > \"$SPAWN_TEST_RECORD.part\"\n"
                        << "/bin/mv \"$SPAWN_TEST_RECORD.part\" \"$SPAWN_TEST_RECORD\"\n";
    fs::permissions(path, executable ? fs::perms(0755) : fs::perms(0644));
  }

  void SetPath(const std::vector<std::string>& folders) {
    std::string list;
    for (const std::string& f : folders) list += (list.empty() ? "" : ":") + f;
    setenv("PATH", list.c_str(), 1);
  }

  // Waits for the started program's record (bounded) and returns its lines.
  std::vector<std::string> AwaitRecord() {
    for (int i = 0; i < 1000 && !fs::exists(record_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<std::string> lines;
    std::ifstream in(record_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::string dir_;
  std::string record_;
  fs::path oldCwd_;
  std::string oldPath_;
  bool hadPath_ = false;
};

TEST_F(SpawnTest, StartsNotepadFromTheCurrentFolderWithoutWaiting) {
  WriteProgram(dir_ + "/cwd/Notepad.Exe", "current folder");
  WriteProgram(dir_ + "/bin/NOTEPAD.EXE", "path");
  SetPath({dir_ + "/bin"});

  const intptr_t pid = spawnlp(P_NOWAIT, "NOTEPAD.EXE", "NOTEPAD.EXE", "Readme.txt", nullptr);
  EXPECT_GT(pid, 0);
  EXPECT_TRUE(ChildrenOfThisProcess().empty());  // handed over at once, nothing to reap

  const std::vector<std::string> expected = {"current folder", fs::canonical(dir_ + "/cwd").string(),
                                             "inherited", "Readme.txt"};
  EXPECT_EQ(AwaitRecord(), expected);
  EXPECT_TRUE(ChildrenOfThisProcess().empty());  // no zombie after it ended either
}

TEST_F(SpawnTest, SearchesThePathInOrder) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, bool>> programs;  // relative path, executable
    const char* expectedLabel;
  };
  const Case cases[] = {
      {"only in the second folder", {{"b/tool", true}}, "b/tool"},
      {"in both: the first wins", {{"a/tool", true}, {"b/tool", true}}, "a/tool"},
      {"any letter case", {{"a/TOOL", true}, {"b/tool", true}}, "a/TOOL"},
      {"not executable is skipped", {{"a/tool", false}, {"b/tool", true}}, "b/tool"},
      {"a folder of that name is skipped", {{"a/tool/x", true}, {"b/tool", true}}, "b/tool"},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir_ + "/a");
    fs::remove_all(dir_ + "/b");
    fs::remove(record_);
    for (const auto& [rel, executable] : c.programs) WriteProgram(dir_ + "/" + rel, rel, executable);
    SetPath({dir_ + "/a", "", dir_ + "/b"});
    ASSERT_GT(spawnlp(P_NOWAIT, "tool", "tool", "x y", nullptr), 0) << c.what;
    const std::vector<std::string> record = AwaitRecord();
    ASSERT_EQ(record.size(), 4u) << c.what;
    EXPECT_EQ(record[0], c.expectedLabel) << c.what;
    EXPECT_EQ(record[3], "x y") << c.what;  // one argument, blank kept
  }
}

TEST_F(SpawnTest, NotepadFoundNowhereOpensTheFileInTheDesktopViewer) {
  WriteProgram(dir_ + "/bin/xdg-open", "viewer");
  SetPath({dir_ + "/bin"});
  ASSERT_GT(spawnlp(P_NOWAIT, "notepad.exe", "notepad.exe", "Readme.txt", nullptr), 0);
  const std::vector<std::string> expected = {"viewer", fs::canonical(dir_ + "/cwd").string(),
                                             "inherited", "Readme.txt"};
  EXPECT_EQ(AwaitRecord(), expected);
}

TEST_F(SpawnTest, FailuresReturnMinusOne) {
  WriteProgram(dir_ + "/bin/xdg-open", "viewer");
  SetPath({dir_ + "/bin"});
  // Only Notepad falls back to the viewer.
  errno = 0;
  EXPECT_EQ(spawnlp(P_NOWAIT, "WRITE.EXE", "WRITE.EXE", "Readme.txt", nullptr), -1);
  EXPECT_EQ(errno, ENOENT);
  // A program that cannot be executed.
  { std::ofstream(dir_ + "/cwd/broken") << "#!/nonexistent/interpreter\n"; }
  fs::permissions(dir_ + "/cwd/broken", fs::perms(0755));
  errno = 0;
  EXPECT_EQ(spawnlp(P_NOWAIT, "broken", "broken", nullptr), -1);
  EXPECT_EQ(errno, ENOENT);
  // Waiting is not offered.
  WriteProgram(dir_ + "/cwd/tool", "tool");
  EXPECT_EQ(spawnlp(P_WAIT, "tool", "tool", nullptr), -1);
  EXPECT_EQ(errno, EINVAL);
  // No viewer on the path either.
  SetPath({dir_ + "/empty"});
  EXPECT_EQ(spawnlp(P_NOWAIT, "NOTEPAD.EXE", "NOTEPAD.EXE", "Readme.txt", nullptr), -1);
  EXPECT_TRUE(ChildrenOfThisProcess().empty());
}

TEST_F(SpawnTest, TheFaultSeamStopsTheStart) {
  WriteProgram(dir_ + "/cwd/NOTEPAD.EXE", "current folder");
  fault::Scope scope;
  fault::Rule rule;
  rule.call = "spawnlp";
  rule.pathContains = "NOTEPAD";
  fault::Add(rule);
  EXPECT_EQ(spawnlp(P_NOWAIT, "NOTEPAD.EXE", "NOTEPAD.EXE", "Readme.txt", nullptr), -1);
  EXPECT_EQ(errno, EACCES);
  EXPECT_TRUE(ChildrenOfThisProcess().empty());
  // Other names are not affected.
  WriteProgram(dir_ + "/cwd/tool", "tool");
  EXPECT_GT(spawnlp(P_NOWAIT, "tool", "tool", nullptr), 0);
  EXPECT_EQ(AwaitRecord().at(0), "tool");
}

TEST_F(SpawnTest, ManySpawnsLeaveNoChildren) {
  { std::ofstream(dir_ + "/cwd/quick") << "#!/bin/sh\nexit 0\n"; }
  fs::permissions(dir_ + "/cwd/quick", fs::perms(0755));
  for (int i = 0; i < 20; ++i) ASSERT_GT(spawnlp(P_NOWAIT, "quick", "quick", nullptr), 0);
  EXPECT_TRUE(ChildrenOfThisProcess().empty());
}

TEST(ProgramSearch, SplitSearchPathDropsEmptyEntries) {
  const std::vector<std::string> expected = {"/a", "b", "/c"};
  EXPECT_EQ(process::SplitSearchPath("/a::b:/c:"), expected);
  EXPECT_TRUE(process::SplitSearchPath("").empty());
}

}  // namespace
