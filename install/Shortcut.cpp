// The desktop shortcut: a shell link file named "Corvalen Version 2.20.lnk" in
// the desktop folder, pointing at the installed viewer. An entry of that name
// that is already there is left alone and counts as done.
#include "platform/abi/wintypes.h"
#include "platform/shell/Com.h"
#include "platform/shell/ShellLink.h"
#include "platform/system/Files.h"
#include "platform/text/Text.h"
#include "setup_window/Frame.h"

bool TFrameForm::MakeDesktopShortcut() {
  // Without a desktop folder there is no place for the link.
  if (DesktopFolder.empty()) return false;

  const AnsiString target = Edit1->Text() + "\\Corvan.exe";
  AnsiString link = DesktopFolder;
  if (!LastCharIsBackslash(link)) link += '\\';
  link += "Corvalen";
  link += " Version 2.20";
  link += ".lnk";

  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(link.c_str(), &data);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    return true;
  }
  return CreateShellLink(target, link, "") >= 0;
}

// Writes a new link file through the shell's link object. Returns the result
// of the save, or of the first step that failed. COM lives only for this call.
int32_t TFrameForm::CreateShellLink(const AnsiString& target, const AnsiString& linkPath,
                                    const AnsiString& description) {
  CoInitialize(nullptr);
  IShellLinkA* shellLink = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&shellLink));
  if (SUCCEEDED(result)) {
    IPersistFile* persistFile = nullptr;
    result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persistFile));
    if (SUCCEEDED(result)) {
      result = shellLink->SetPath(target.c_str());
      if (SUCCEEDED(result)) result = shellLink->SetDescription(description.c_str());
      if (SUCCEEDED(result)) {
        // A name whose wide form does not fit with its terminating zero is
        // never saved, neither cut short nor unterminated.
        char16_t wideLink[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wideLink, MAX_PATH) == 0) {
          result = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        } else {
          result = persistFile->Save(wideLink, CORVALEN_TRUE);
        }
      }
      persistFile->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return result;
}
