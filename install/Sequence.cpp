// What the OK and Cancel buttons do. OK runs the whole installation in one
// pass: destination, copy, shortcut, read-me, completion, then the window
// closes. Each stage reports its own detailed failures; this sequence owns the
// status texts between them and the questions and messages that tie them.
#include "platform/gui/Dialogs.h"
#include "platform/process/Spawn.h"
#include "platform/text/FixedText.h"
#include "setup_window/Frame.h"
#include "setup_window/WorkingFolder.h"

void TFrameForm::Button1Click(void* /*sender*/) {
  Panel5->SetCaption(TX("プログラムをインストールするフォルダを調べています。"));
  if (!PrepareDestination(Edit1->Text())) {
    Close();
    return;
  }

  Panel5->SetCaption(TX("プログラムファイルをコピーしています。==> "));
  bool copied = false;
  WithInstallerFolder([&] { copied = CopyProductFiles(); });
  if (!copied) {
    Panel5->SetCaption(TX("プログラムファイルのコピーに失敗しました。"));
    ShowMessage(TX("プログラムファイルのコピーに失敗しました。セットアップを中止します。"));
    Close();
    return;
  }

  if (MessageDlg(TX("デスクトップにショートカットを作成しますか？"), mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
    Panel5->SetCaption(TX("デスクトップにショートカットを作成しています。"));
    if (!MakeDesktopShortcut()) ShowMessage(TX("ショートカットを作成出来ませんでした。"));
  }

  Panel5->SetCaption(TX("Corvalen のセットアップは、完了しました。"));
  if (MessageDlg(TX("今、リードミーファイルを読みますか？"), mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
    // Started on the bare name, in the current folder, without waiting.
    spawnlp(P_NOWAIT, "NOTEPAD.EXE", "NOTEPAD.EXE", "Readme.txt", nullptr);
  }
  ShowMessage(TX("Corvalen のセットアップは、完了しました。"));
  Close();
}

void TFrameForm::Button2Click(void* /*sender*/) { Close(); }
