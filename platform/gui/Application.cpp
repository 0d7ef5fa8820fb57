#include <QApplication>
#include <QEventLoop>

#include "Dialogs.h"
#include "FontConfiguration.h"
#include "Forms.h"
#include "platform/system/Files.h"
#include "platform/text/DateTime.h"

// Never deleted: it lives as long as the process.
TApplication* Application = new TApplication;

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize() {
  // The date formatter's weekday names are read once, at start.
  LoadDayNames();
  if (QCoreApplication::instance() != nullptr) {
    fontconfiguration::Load(false);
    return;
  }
  // The font configuration is read while the window system starts.
  fontconfiguration::Load(true);
  static int argc = 1;
  static char name[] = "Setup";
  static char* argv[] = {name, nullptr};
  ownApp_ = std::make_unique<QApplication>(argc, argv);
  // The message loop ends when the main form closes, not with its last window.
  QApplication::setQuitOnLastWindowClosed(false);
  fontconfiguration::WaitUntilLoaded();
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
  TForm* f = form.get();
  forms_.push_back(std::move(form));
  if (mainForm_ == nullptr) mainForm_ = f;
  f->DoCreate();
  f->CreateWindow();
}

void TApplication::Run() {
  if (mainForm_ == nullptr || mainForm_->Closed()) return;
  if (QCoreApplication::instance() == nullptr) Initialize();
  terminated_ = false;
  mainForm_->Show();
  if (terminated_ || mainForm_->Closed()) return;
  QEventLoop loop;
  loop_ = &loop;
  loop.exec();
  loop_ = nullptr;
}

void TApplication::Terminate() {
  terminated_ = true;
  if (loop_ != nullptr) loop_->exit(0);
}

void TApplication::ShowError(const AnsiString& message) {
  BoxRequest request;
  request.kind = BoxKind::Error;
  request.icon = BoxIcon::Stop;
  request.title = Title();
  request.text = message + ".";
  request.buttons = {"OK"};
  request.results = {mrOk};
  request.defaultButton = 0;
  request.escapeButton = 0;
  CurrentDialogHost().ShowBox(request);
}

void TApplication::ShowException(const Exception& e) { ShowError(e.Message()); }

void TApplication::Dispatch(const std::function<void()>& handler) {
  try {
    try {
      handler();
    } catch (const EAbort&) {
    } catch (const Exception& e) {
      ShowException(e);
    } catch (const std::exception& e) {
      ShowError(e.what());
    } catch (...) {
      ShowError("Unknown error");
    }
  } catch (...) {
    // Nothing may pass through the window system, not even a failing box.
  }
}

void TApplication::DestroyForms() {
  for (const auto& form : forms_) form->DoDestroy();
  while (!forms_.empty()) forms_.pop_back();
  mainForm_ = nullptr;
  terminated_ = false;
  ownApp_.reset();
}

AnsiString TApplication::ExeName() const { return ExecutablePath(); }

AnsiString TApplication::Title() const { return TitleFromExeName(ExeName()); }

AnsiString TitleFromExeName(const AnsiString& exeName) {
  AnsiString name = ExtractFileName(exeName);
  const size_t dot = name.find('.');
  if (dot != AnsiString::npos) name.resize(dot);
  size_t i = 0;
  bool first = true;
  while (i < name.size()) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(c) && i + 1 < name.size()) {
      i += 2;  // a double-byte character is never changed
    } else {
      if (!first && c >= 'A' && c <= 'Z') name[i] = static_cast<char>(c - 'A' + 'a');
      ++i;
    }
    first = false;
  }
  return name;
}
