#include "ScriptedDialogHost.h"

#include <gtest/gtest.h>

ScriptedDialogHost::ScriptedDialogHost() : previous_(&CurrentDialogHost()) { SetDialogHost(this); }

ScriptedDialogHost::~ScriptedDialogHost() {
  SetDialogHost(previous_ == &QtDialogHost() ? nullptr : previous_);
  EXPECT_EQ(boxAnswers_.size(), 0u) << "answers queued for boxes that never came";
  EXPECT_EQ(folderAnswers_.size(), 0u) << "folder answers queued for browses that never came";
}

void ScriptedDialogHost::Answer(int result) { boxAnswers_.push_back({Kind::Result, result}); }
void ScriptedDialogHost::AnswerDefault() { boxAnswers_.push_back({Kind::Default, 0}); }
void ScriptedDialogHost::AnswerEscape() { boxAnswers_.push_back({Kind::Escape, 0}); }

void ScriptedDialogHost::AnswerFolder(std::optional<AnsiString> folder) {
  folderAnswers_.push_back(std::move(folder));
}

namespace {

int ResultAt(const BoxRequest& r, int index) {
  if (index < 0 || static_cast<size_t>(index) >= r.results.size()) {
    ADD_FAILURE() << "box \"" << r.text << "\" has no button at index " << index;
    return mrCancel;
  }
  return r.results[static_cast<size_t>(index)];
}

}  // namespace

int ScriptedDialogHost::ShowBox(const BoxRequest& request) {
  boxes_.push_back(request);
  if (boxAnswers_.empty()) {
    ADD_FAILURE() << "unexpected box \"" << request.title << "\": \"" << request.text << "\"";
    return ResultAt(request, request.escapeButton);
  }
  const BoxAnswer answer = boxAnswers_.front();
  boxAnswers_.pop_front();
  switch (answer.kind) {
    case Kind::Default: return ResultAt(request, request.defaultButton);
    case Kind::Escape: return ResultAt(request, request.escapeButton);
    case Kind::Result: break;
  }
  for (int result : request.results) {
    if (result == answer.result) return result;
  }
  ADD_FAILURE() << "box \"" << request.text << "\" has no button with result " << answer.result;
  return ResultAt(request, request.escapeButton);
}

std::optional<AnsiString> ScriptedDialogHost::BrowseForFolder(const AnsiString& title, void* owner) {
  browses_.push_back({title, owner});
  if (folderAnswers_.empty()) {
    ADD_FAILURE() << "unexpected folder browse \"" << title << "\"";
    return std::nullopt;
  }
  std::optional<AnsiString> answer = std::move(folderAnswers_.front());
  folderAnswers_.pop_front();
  return answer;
}
