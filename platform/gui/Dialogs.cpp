#include "Dialogs.h"

#include "Exception.h"
#include "Forms.h"
#include "platform/text/FixedText.h"

namespace {
DialogHost* g_host = nullptr;
}  // namespace

DialogHost& CurrentDialogHost() { return g_host != nullptr ? *g_host : QtDialogHost(); }

void SetDialogHost(DialogHost* host) { g_host = host; }

BoxRequest MakeMessageDlgRequest(const AnsiString& text, TMsgDlgType type, const TMsgDlgButtons& buttons) {
  BoxRequest r;
  r.kind = BoxKind::Confirmation;
  r.text = text;
  switch (type) {
    case mtConfirmation:
      r.icon = BoxIcon::Question;
      r.title = TX("確認");
      break;
    case mtWarning:
      r.icon = BoxIcon::Warning;
      r.title = TX("警告");
      break;
    case mtError:
      r.icon = BoxIcon::Stop;
      r.title = TX("エラー");
      break;
    case mtInformation:
      r.icon = BoxIcon::Information;
      r.title = TX("情報");
      break;
    case mtCustom:
      r.icon = BoxIcon::None;
      r.title = Application->Title();
      break;
  }
  for (TMsgDlgBtn b : buttons) {
    if (b != mbYes && b != mbNo && b != mbOK && b != mbCancel) {
      throw Exception("MessageDlg: only the Yes, No, OK and Cancel buttons are supported");
    }
  }
  const TMsgDlgButtons set = buttons.empty() ? TMsgDlgButtons{mbOK} : buttons;
  struct Made {
    TMsgDlgBtn button;
    const char* caption;
    int result;
  };
  const Made order[] = {{mbYes, "はい(&Y)", mrYes},
                        {mbNo, "いいえ(&N)", mrNo},
                        {mbOK, "OK", mrOk},
                        {mbCancel, "ｷｬﾝｾﾙ", mrCancel}};
  auto indexOf = [&r](int result) {
    for (size_t i = 0; i < r.results.size(); ++i) {
      if (r.results[i] == result) return static_cast<int>(i);
    }
    return -1;
  };
  for (const Made& m : order) {
    if (set.count(m.button) == 0) continue;
    r.buttons.push_back(TX(m.caption));
    r.results.push_back(m.result);
  }
  r.defaultButton = indexOf(mrOk) >= 0 ? indexOf(mrOk) : indexOf(mrYes) >= 0 ? indexOf(mrYes) : 0;
  r.escapeButton = indexOf(mrCancel) >= 0 ? indexOf(mrCancel) : indexOf(mrNo) >= 0 ? indexOf(mrNo) : indexOf(mrOk);
  return r;
}

int MessageDlg(const AnsiString& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int /*helpContext*/) {
  return CurrentDialogHost().ShowBox(MakeMessageDlgRequest(text, type, buttons));
}

BoxRequest MakeShowMessageRequest(const AnsiString& text) {
  BoxRequest r;
  r.kind = BoxKind::Plain;
  r.icon = BoxIcon::None;
  r.title = Application->Title();
  r.text = text;
  r.buttons = {"OK"};
  r.results = {mrOk};
  r.defaultButton = 0;
  r.escapeButton = 0;
  return r;
}

void ShowMessage(const AnsiString& text) { CurrentDialogHost().ShowBox(MakeShowMessageRequest(text)); }
