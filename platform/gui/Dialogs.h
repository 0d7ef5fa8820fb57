// Modal message boxes and the folder browser. Every one of them goes through
// one seam (DialogHost) so tests can answer and record them; the default host
// shows real Qt boxes.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/text/Text.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = std::set<TMsgDlgBtn>;

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

enum class BoxIcon { None, Question, Stop, Warning, Information };
// Confirmation: a MessageDlg box; Plain: ShowMessage; Error: the error box.
enum class BoxKind { Confirmation, Plain, Error };

// What a box shows. Texts are in the active code page.
struct BoxRequest {
  BoxKind kind = BoxKind::Plain;
  BoxIcon icon = BoxIcon::None;
  AnsiString title;
  AnsiString text;
  std::vector<AnsiString> buttons;  // captions in the order made
  std::vector<int> results;         // modal result of each button
  int defaultButton = -1;           // index into buttons
  int escapeButton = -1;            // index: Escape and closing the box
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Shows a box and returns the modal result of the button that closed it.
  virtual int ShowBox(const BoxRequest& request) = 0;
  // Shows the folder browser; the chosen folder in Windows form, or nothing
  // when cancelled. An item without a file-system path gives "".
  virtual std::optional<AnsiString> BrowseForFolder(const AnsiString& title, void* owner) = 0;
};

// The host in use; never null (the Qt host unless a test set another).
DialogHost& CurrentDialogHost();
// Sets the host; nullptr restores the Qt host.
void SetDialogHost(DialogHost* host);
// The real Qt host, for tests that prove its properties.
DialogHost& QtDialogHost();

// Builds the request of MessageDlg's box: for mtConfirmation the question
// icon and the title "確認"; the buttons in the order Yes, No, OK, Cancel;
// default OK when in the set, else Yes; escape Cancel when in the set, else
// No, else OK. Other buttons raise Exception (none is used); an empty set
// means OK alone.
BoxRequest MakeMessageDlgRequest(const AnsiString& text, TMsgDlgType type, const TMsgDlgButtons& buttons);

int MessageDlg(const AnsiString& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext);
// A box without icon, titled with the application's title, with one "OK"
// that is both default and escape button.
void ShowMessage(const AnsiString& text);
BoxRequest MakeShowMessageRequest(const AnsiString& text);
