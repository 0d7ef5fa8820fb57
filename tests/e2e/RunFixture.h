// One run of the whole program in this process: a temporary Windows-like
// root (program files on C:, a desktop in C:\Desktop), the installer's
// executable path pointing into an assembled distribution, the process
// started from a chosen folder beside a stand-in NOTEPAD.EXE, and a User who
// follows a script while the real entry runs.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/User.h"
#include "tests/support/TempRoot.h"

// The destination the window proposes, and where the shortcut goes.
extern const char kDest[];
extern const char kDesktop[];
extern const char kLinkName[];

// Twelve program files into DEST, seven library modules into DEST\System.
extern const std::vector<std::string> kProgramFiles;
extern const std::vector<std::string> kLibraryModules;

// Entries below a host folder, relative, '/'-separated, folders marked with a
// trailing '/'.
using Tree = std::set<std::string>;
Tree TreeOf(const std::string& hostFolder);

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The assembled distribution of this build, a host folder.
  static std::string Distribution();
  // The installer counts as started from `hostFolder`/Setup.
  void UseDistribution(const std::string& hostFolder);
  // Makes `hostFolder` current and puts the stand-in NOTEPAD.EXE into it.
  void StartIn(const std::string& hostFolder);
  // Runs the entry while the user follows `script`; returns the entry's exit
  // code. Every step must have been taken, with nothing unexpected on the way.
  int Run(const std::vector<Step>& script);

  // What the stand-in recorded ("<argument count>|<arguments>|<pwd>" lines),
  // waiting a while for it to appear; "" when it never ran.
  std::string NotepadRecord(bool wait) const;
  static std::string ReadHost(const std::string& hostPath);
  // DEST before anything was installed is absent; C:\ then holds this.
  static Tree BaseTree();

  std::unique_ptr<TempRoot> root_;
  std::unique_ptr<User> user_;
  std::string notepad_;  // host path of the stand-in, removed afterwards
};
