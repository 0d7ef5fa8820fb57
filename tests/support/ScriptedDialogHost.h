// A dialog host for tests: answers boxes and the folder browser from a queue
// and records each of them. A box or browse that no queued answer expects is
// a test failure; it is answered with the escape button (or cancelled). While
// it lives it is the host in use; the one before it comes back afterwards.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/gui/Dialogs.h"

class ScriptedDialogHost : public DialogHost {
 public:
  struct Browse {
    AnsiString title;
    void* owner = nullptr;
  };

  ScriptedDialogHost();
  ~ScriptedDialogHost() override;
  ScriptedDialogHost(const ScriptedDialogHost&) = delete;
  ScriptedDialogHost& operator=(const ScriptedDialogHost&) = delete;

  // The next box is answered with the button whose result is `result` (a
  // box without such a button is a test failure).
  void Answer(int result);
  // The next box is answered as Enter would (its default button) or as
  // Escape would (its escape button).
  void AnswerDefault();
  void AnswerEscape();
  // The next folder browse chooses `folder` (Windows form); nullopt cancels.
  void AnswerFolder(std::optional<AnsiString> folder);

  const std::vector<BoxRequest>& Boxes() const { return boxes_; }
  const std::vector<Browse>& Browses() const { return browses_; }
  // Answers queued but not used yet.
  size_t Pending() const { return boxAnswers_.size() + folderAnswers_.size(); }

  int ShowBox(const BoxRequest& request) override;
  std::optional<AnsiString> BrowseForFolder(const AnsiString& title, void* owner) override;

 private:
  enum class Kind { Result, Default, Escape };
  struct BoxAnswer {
    Kind kind;
    int result;
  };
  DialogHost* previous_;
  std::deque<BoxAnswer> boxAnswers_;
  std::deque<std::optional<AnsiString>> folderAnswers_;
  std::vector<BoxRequest> boxes_;
  std::vector<Browse> browses_;
};
