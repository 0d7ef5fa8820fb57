// A temporary Windows-like root with the installer living in C:\dist, every
// box answered by a script, and helpers to make the setup window.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/system/Fault.h"
#include "platform/system/Files.h"
#include "setup_window/Frame.h"
#include "tests/support/ScriptedDialogHost.h"
#include "tests/support/TempRoot.h"

// The hive lines that give the program-files folder and the desktop folder.
std::string ProgramFilesHive(const std::string& valueLine);
std::string DesktopHive(const std::string& valueLine);

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The form made by the application object, as the entry makes it.
  TFrameForm* CreateFrame();
  // The form built from its description alone, without FormCreate.
  std::unique_ptr<TFrameForm> LoadFrame();

  std::unique_ptr<TempRoot> root_;
  // Every box and browse must be expected by the test.
  ScriptedDialogHost host_;
};
