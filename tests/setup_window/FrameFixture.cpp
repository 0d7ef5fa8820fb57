#include "tests/setup_window/FrameFixture.h"

#include "platform/gui/Forms.h"

std::string ProgramFilesHive(const std::string& valueLine) {
  return "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n" + valueLine + "\n";
}

std::string DesktopHive(const std::string& valueLine) {
  return "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1700000000\n" +
         valueLine + "\n";
}

void FrameTest::SetUp() {
  root_ = std::make_unique<TempRoot>();
  root_->MakeFolder("C:\\dist");
  SetExecutablePathForTesting("C:\\dist\\Setup.exe");
}

void FrameTest::TearDown() {
  Application->DestroyForms();
  SetExecutablePathForTesting("");
  fault::Clear();
  root_.reset();
}

TFrameForm* FrameTest::CreateFrame() {
  Application->CreateForm(FrameForm);
  return FrameForm;
}

std::unique_ptr<TFrameForm> FrameTest::LoadFrame() { return std::make_unique<TFrameForm>(Application); }
