// The proposed destination, the two folders read from the registry, and the
// folder browser behind the "..." button.
#include <cstring>

#include "platform/gui/ShellBrowse.h"
#include "platform/registry/Registry.h"
#include "platform/text/FixedText.h"
#include "setup_window/Frame.h"

namespace {

const char kProductFolder[] = "Corvalen";

}  // namespace

void TFrameForm::ReadDefaultFolders() {
  auto registry = std::make_unique<TRegistry>();
  registry->SetRootKey(HKEY_LOCAL_MACHINE);
  if (registry->OpenKey("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion", false)) {
    ProgramFilesFolder = registry->ReadString("ProgramFilesDir");
    registry->CloseKey();
  } else {
    ProgramFilesFolder.clear();
  }

  registry->SetRootKey(HKEY_CURRENT_USER);
  if (registry->OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false)) {
    DesktopFolder = registry->ReadString("Desktop");
    registry->CloseKey();
  } else {
    DesktopFolder.clear();
  }
  registry.reset();

  if (!ProgramFilesFolder.empty()) {
    AnsiString dest = ProgramFilesFolder;
    if (!LastCharIsBackslash(dest)) dest += '\\';
    dest += kProductFolder;
    Edit1->SetText(dest);
  }
}

void TFrameForm::Button3Click(void* /*sender*/) {
  BROWSEINFOA info;
  std::memset(&info, 0, sizeof info);
  info.hwndOwner = Handle();
  info.lpszTitle = TX("フォルダを選択して下さい。").c_str();

  LPITEMIDLIST list = SHBrowseForFolderA(&info);
  if (list == nullptr) return;

  // Zeroed first: for an item without a file-system path the call may write
  // nothing, and the text then reads as empty.
  char path[MAX_PATH];
  std::memset(path, 0, sizeof path);
  SHGetPathFromIDListA(list, path);

  IMalloc* allocator = nullptr;
  if (SHGetMalloc(&allocator) >= 0 && allocator != nullptr) {
    allocator->Free(list);
    allocator->Release();
  }

  AnsiString folder(path, strnlen(path, sizeof path));
  // An item without a file-system path (a virtual folder of the shell) gives
  // no folder to install into: the destination stays as it was.
  if (folder.empty()) return;

  if (LastCharIsBackslash(folder)) folder.pop_back();
  if (Pos(kProductFolder, folder) == 0) folder += "\\Corvalen";
  Edit1->SetText(folder);
}
