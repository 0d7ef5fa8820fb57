// The file copy: the product's files from the current folder (the installer's
// own folder, made current by the caller) into the destination, naming each
// file in the status line. The first failure ends the whole copy; nothing
// copied before it is taken back.
#include <initializer_list>

#include "platform/gui/Classes.h"
#include "platform/system/Files.h"
#include "setup_window/Frame.h"

namespace {

// What a distribution holds beside the installer, in the order it is copied.
constexpr std::initializer_list<const char*> kProgramFiles = {
    "Corvan.exe", "Kx.txt",     "Kxopr.txt",  "Kxtec.txt",  "Readme.txt", "Image0.jpg",
    "Image1.jpg", "Image2.jpg", "Image3.jpg", "Image4.jpg", "Image5.jpg", "Image6.jpg",
};
constexpr std::initializer_list<const char*> kLibraryModules = {
    "ImgCom3.dll", "ImgCut3.dll", "ImgDsp3.dll", "ImgEtc3.dll", "ImgFile3.dll", "ImgScan3.dll", "ImgTiff3.dll",
};

// Copies one file: the status line names it first. Sources are bare names,
// resolved against the current folder; the target keeps the name as given.
bool CopyOne(TPanel* status, const AnsiString& prefix, const AnsiString& targetFolder, const AnsiString& name) {
  const AnsiString target = targetFolder + name;
  status->SetCaption(prefix + name);
  return CopyFileA(name.c_str(), target.c_str(), false) != 0;
}

bool CopyList(TPanel* status, const AnsiString& prefix, const AnsiString& targetFolder, const TStringList& names) {
  for (int i = 0; i < names.Count(); ++i) {
    if (!CopyOne(status, prefix, targetFolder, names[i])) return false;
  }
  return true;
}

}  // namespace

bool TFrameForm::CopyProductFiles() {
  const AnsiString prefix = Panel5->Caption();

  TStringList working;
  for (const char* name : kProgramFiles) working.Add(name);
  if (!CopyList(Panel5, prefix, Edit1->Text() + "\\", working)) return false;

  working.Clear();
  for (const char* name : kLibraryModules) working.Add(name);
  if (!CopyList(Panel5, prefix, Edit1->Text() + "\\System\\", working)) return false;

  const AnsiString systemFolder = Edit1->Text() + "\\System\\";
  for (int i = 0; i < PluginCount; ++i) {
    if (!CopyOne(Panel5, prefix, systemFolder, PluginList->Strings(i))) return false;
  }
  return true;
}
