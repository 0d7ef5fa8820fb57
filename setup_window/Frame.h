// The setup window: the one form of the program, its controls, its own fields
// and every operation of the installer as a method.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gui/Classes.h"
#include "platform/gui/Forms.h"

class TFrameForm : public TForm {
 public:
  // Published fields, bound by name to the controls of the form description.
  TPanel* Panel1 = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel3 = nullptr;
  TPanel* Panel4 = nullptr;
  TPanel* Panel5 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TImage* Image1 = nullptr;
  TLabel* Label6 = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button3 = nullptr;

  // Published event handlers; the sender is not used.
  void Button1Click(void* sender);
  void Button2Click(void* sender);
  void Button3Click(void* sender);
  void FormResize(void* sender);
  void FormCreate(void* sender);
  void FormDestroy(void* sender);

  explicit TFrameForm(TApplication* owner);
  ~TFrameForm() override;

  // The form's own fields.
  AnsiString DesktopFolder;
  AnsiString ProgramFilesFolder;
  int32_t PluginCount = 0;
  std::unique_ptr<TStringList> PluginList;

  // Setup window.
  void ReadDefaultFolders();
  void ArrangePanels();
  // Installation.
  bool PrepareDestination(const AnsiString& dest);
  bool ForceFolders(const AnsiString& path);
  bool CopyProductFiles();
  bool MakeDesktopShortcut();
  int32_t CreateShellLink(const AnsiString& target, const AnsiString& linkPath, const AnsiString& description);
  // Welcome picture.
  void ShowPicture(const AnsiString& fileName);
  bool LoadPictureByPlugin(const AnsiString& fileName, TBitmap* bitmap);
  void FindPlugins();
  void LoadImageLibrary();
  void FreeImageLibrary();

  // The installer's own folder: the folder part of the executable's path.
  AnsiString InstallerFolder() const;
};

extern TFrameForm* FrameForm;

