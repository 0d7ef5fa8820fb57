// A form built from the test description TESTFORM (forms/TestForm.dfm),
// counting its events.
#pragma once

#include <functional>
#include <vector>

#include "platform/gui/Forms.h"

class TTestForm : public TForm {
 public:
  TPanel* Panel1 = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel4 = nullptr;
  TPanel* Panel5 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label4 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* Button3 = nullptr;
  TEdit* Edit1 = nullptr;
  TEdit* Edit2 = nullptr;
  TImage* Image1 = nullptr;

  int creates = 0;
  int resizes = 0;
  int destroys = 0;
  int clicks1 = 0;
  int clicks2 = 0;
  // What FormResize saw: client size and the status panel's bounds.
  struct Seen {
    int clientWidth, clientHeight, left, top, width, height;
  };
  std::vector<Seen> seen;

  // Run by the handlers of the next form made (CreateForm passes only the
  // application to the constructor).
  static inline std::function<void(TTestForm&)> onCreate, onResize, onButton1;
  // FormDestroy runs of every TTestForm so far.
  static inline int destroyedTotal = 0;

  explicit TTestForm(TApplication* /*owner*/) : TForm("TestForm") {
    BindField("Panel1", Panel1);
    BindField("Panel2", Panel2);
    BindField("Panel4", Panel4);
    BindField("Panel5", Panel5);
    BindField("Label1", Label1);
    BindField("Label2", Label2);
    BindField("Label4", Label4);
    BindField("Button1", Button1);
    BindField("Button2", Button2);
    BindField("Button3", Button3);
    BindField("Edit1", Edit1);
    BindField("Edit2", Edit2);
    BindField("Image1", Image1);
    BindEvent("FormCreate", [this] {
      ++creates;
      if (onCreate) onCreate(*this);
    });
    BindEvent("FormResize", [this] {
      ++resizes;
      seen.push_back({ClientWidth(), ClientHeight(), Panel5->Left(), Panel5->Top(), Panel5->Width(), Panel5->Height()});
      if (onResize) onResize(*this);
    });
    BindEvent("FormDestroy", [this] {
      ++destroys;
      ++destroyedTotal;
    });
    BindEvent("Button1Click", [this] {
      ++clicks1;
      if (onButton1) onButton1(*this);
    });
    BindEvent("Button2Click", [this] { ++clicks2; });
    LoadFromResource("TESTFORM");
  }

  static void ClearHooks() {
    onCreate = nullptr;
    onResize = nullptr;
    onButton1 = nullptr;
  }
};
