// A temporary Windows-like root with a small distribution in D:\dist (the
// installer's own folder), a desktop in C:\Desktop, the process in C:\work
// beside a stand-in NOTEPAD.EXE, and the setup window made the way the
// application object makes it. Every box is answered by a script and recorded
// together with the status line as it stood when the box opened.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/gui/Dialogs.h"
#include "setup_window/Frame.h"
#include "tests/support/ScriptedDialogHost.h"
#include "tests/support/TempRoot.h"

// The manifest in copy order: program files, library modules, and the
// plug-ins the tests put into PluginList (deliberately not in name order).
extern const std::vector<std::string> kProgramFiles;
extern const std::vector<std::string> kLibraryModules;
extern const std::vector<std::string> kPlugins;
// All of them, in copy order.
std::vector<std::string> CopyOrder();

extern const char kDest[];         // the default destination
extern const char kDesktop[];      // the desktop folder
extern const char kLinkName[];     // the shortcut's file name
extern const char kWorkFolder[];   // the process's current folder
extern const char kDistFolder[];   // the installer's own folder

// Records the status line each time a box opens.
class RecordingHost : public ScriptedDialogHost {
 public:
  int ShowBox(const BoxRequest& request) override;
  TPanel* status = nullptr;
  std::vector<AnsiString> statuses;
};

// "C:\xxx...\yyy..." of exactly `length` bytes, in levels of at most 41 bytes.
std::string LongPath(size_t length);

// A box as the tests expect it: its kind with the platform's title, icon and
// buttons, its text, and the status line when it opened (unset: not checked).
struct ExpectedBox {
  BoxKind kind;
  bool yesNo;  // a confirmation box with Yes and No; else with OK alone
  std::string text;
  std::optional<std::string> status;
};
ExpectedBox Question(std::string text, std::optional<std::string> status = std::nullopt);
ExpectedBox Notice(std::string text, std::optional<std::string> status = std::nullopt);
ExpectedBox Plain(std::string text, std::optional<std::string> status = std::nullopt);
// Queues the answers for the expected boxes: each Yes/No question takes the
// next of `questionAnswers` (kEscape: closed with Escape), every other box OK.
constexpr int kEscape = -1;
void QueueAnswers(ScriptedDialogHost& host, const std::vector<ExpectedBox>& boxes, const std::vector<int>& questionAnswers);
// Compares the recorded boxes with the expected ones, in order.
void ExpectBoxes(const RecordingHost& host, const std::vector<ExpectedBox>& expected);

// A set of entries below a folder, relative, '\'-separated, folders marked
// with a trailing '\'.
using Tree = std::set<std::string>;

class InstallTest : public ::testing::Test {
 public:
  // The entries below a Windows folder of the temporary root.
  Tree TreeOf(const std::string& winFolder) const;
  // C:\ as the fixture leaves it, before anything is installed.
  Tree BaseTree() const;
  // C:\ after DEST, System and Temp were made and the first `copies` files of
  // the copy order were copied (into kDest).
  Tree InstalledTree(size_t copies) const;
  // The distribution file that stands for a manifest name (some are stored
  // in another letter case).
  std::string DistFile(const std::string& name) const;
  // Host path of the stand-in's record and of the file that lets it end.
  std::string NotepadRecord() const;
  std::string NotepadGo() const;
  // Writes the stand-in NOTEPAD.EXE into the current folder; with `waitForGo`
  // it records its start, then waits until NotepadGo() appears (at most a
  // few seconds) before recording its end.
  void WriteNotepad(bool waitForGo) const;
  // Waits until a condition holds (false after a generous deadline).
  static bool WaitUntil(const std::function<bool()>& condition);
  static bool WaitForFile(const std::string& hostPath);
  static std::string ReadHost(const std::string& hostPath);

 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<TempRoot> root_;
  std::unique_ptr<RecordingHost> host_;
  TFrameForm* form_ = nullptr;
};
