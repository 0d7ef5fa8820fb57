// The application object and forms.
#pragma once

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "Controls.h"
#include "Exception.h"

class QApplication;
class QEventLoop;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };

class TApplication;

// A top-level window built from a form description. Left and Top are the
// window's position on the screen; Width and Height its client size (the
// frame belongs to the window system).
class TForm : public TControl {
 public:
  explicit TForm(AnsiString name);
  ~TForm() override;

  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& text);
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position);
  // False: the title bar has no buttons and no system menu.
  bool HasBorderIcons() const { return borderIcons_; }
  void SetBorderIcons(bool any);
  // Shows the window in its WindowState (creating it first if needed).
  void Show();
  // Hides the window; for the main form also asks the application to quit:
  // the message loop ends once the current handler has returned.
  void Close();
  bool Closed() const { return closed_; }
  // The window handle, for owners of boxes (opaque).
  void* Handle();
  // True once the application created the window (OnResize runs from then on).
  bool WindowCreated() const { return windowCreated_; }

  // Every control made from the form description, by name; null when none.
  TControl* FindControl(const AnsiString& name) const;
  const std::vector<std::unique_ptr<TControl>>& Controls() const { return controls_; }

  // Runs OnCreate / OnResize / OnDestroy through the application's error
  // handling. DoDestroy runs OnDestroy once however often it is called; the
  // application calls it before deleting the form (the destructor does not).
  void DoCreate();
  void DoResize();
  void DoDestroy();

 protected:
  // Builds the controls from the embedded form description `resource`
  // (raises Exception when there is none, or it names an unknown class,
  // property, value, control or handler), binds each field registered with
  // BindField to the control of that name and each event named there to the
  // handler registered with BindEvent. Register fields and events first.
  void LoadFromResource(const char* resource);
  // The same from a description's text; `source` names it in error messages.
  void LoadFromText(std::string_view text, const char* source);
  template <class T>
  void BindField(const char* name, T*& field) {
    fieldBinders_[name] = [&field](TControl* c) {
      field = dynamic_cast<T*>(c);
      return field != nullptr;
    };
  }
  void BindEvent(const char* name, std::function<void()> handler) { events_[name] = std::move(handler); }

  // Window events, dispatched through the application's error handling.
  std::function<void()> OnCreate, OnResize, OnDestroy;

 private:
  friend class TApplication;
  friend class FormBuilder;
  friend class FormWindow;
  // Gives the window its caption, border icons, icon and position; OnResize
  // runs for every size the window is given from now on.
  void CreateWindow();
  std::vector<std::unique_ptr<TControl>> controls_;
  std::map<AnsiString, std::function<bool(TControl*)>> fieldBinders_;
  std::map<AnsiString, std::function<void()>> events_;
  AnsiString caption_;
  TWindowState windowState_ = wsNormal;
  TPosition position_ = poDesigned;
  bool borderIcons_ = true;
  int designLeft_ = 0;
  int designTop_ = 0;
  bool windowCreated_ = false;
  bool closed_ = false;
  bool destroyed_ = false;
};

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Starts the window system when nobody has yet.
  void Initialize();
  // Makes the form (its constructor builds it from its description) and
  // stores it in `reference`, fires OnCreate through the error handling (an
  // error there is shown and creation goes on), then creates its window. The
  // first form becomes the main form. An error raised by the constructor
  // passes to the caller.
  template <class T>
  void CreateForm(T*& reference) {
    reference = nullptr;
    auto form = std::make_unique<T>(this);
    reference = form.get();
    AdoptForm(std::move(form));
  }
  // Shows the main form (maximised when its WindowState says so) and
  // processes messages until it is closed. Returns at once when there is no
  // main form or it was closed before.
  void Run();
  // Asks the message loop to end once the current handler has returned.
  void Terminate();
  // The error box: the message followed by ".", the application's title, the
  // stop icon, one OK button. Shown through the dialog host.
  void ShowException(const Exception& e);
  // Runs an event handler; an error that escapes it is shown in the error box
  // (EAbort silently) and nothing propagates further.
  void Dispatch(const std::function<void()>& handler);
  // Fires OnDestroy of every form, then deletes them (the last made first).
  // When Initialize started the window system, it is ended too.
  void DestroyForms();

  // The full path of the running executable, in Windows form.
  AnsiString ExeName() const;
  // The executable's name without folder, cut at its first ".", first
  // character kept, the rest in lower case.
  AnsiString Title() const;
  TForm* MainForm() const { return mainForm_; }

 private:
  void AdoptForm(std::unique_ptr<TForm> form);
  void ShowError(const AnsiString& message);
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;
  QEventLoop* loop_ = nullptr;
  bool terminated_ = false;
  std::unique_ptr<QApplication> ownApp_;
};

// The one application object; never null.
extern TApplication* Application;

// The title rule on its own: "C:\dist\SETUP.EXE" gives "Setup".
AnsiString TitleFromExeName(const AnsiString& exeName);
