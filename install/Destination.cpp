// The destination check and the folder tree: refuse a destination that is
// already taken, ask before creating a missing one, then create it with its
// System and Temp subfolders.
#include <cstring>

#include "platform/abi/wintypes.h"
#include "platform/gui/Dialogs.h"
#include "platform/system/Files.h"
#include "platform/text/FixedText.h"
#include "setup_window/Frame.h"

namespace {

// The existence test and the removals take their path through one MAX_PATH
// buffer, like the ANSI calls they stand for. A path that does not fit with its
// terminating zero is not copied at all: false.
class PathBuffer {
 public:
  bool Set(const AnsiString& path) {
    if (path.size() >= MAX_PATH || path.find('\0') != AnsiString::npos) return false;
    std::memcpy(bytes_, path.c_str(), path.size() + 1);
    return true;
  }
  const char* c_str() const { return bytes_; }

 private:
  char bytes_[MAX_PATH] = {};
};

// True when a folder or a file of that name exists. The search is closed as
// soon as the answer is known.
bool EntryExists(const char* path) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(path, &data);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

void RemoveFolder(const AnsiString& path) {
  PathBuffer buffer;
  if (buffer.Set(path)) RemoveDirectoryA(buffer.c_str());
}

// A destination whose whole tree (DEST\System being its longest folder) cannot
// be made with paths shorter than MAX_PATH, or that holds a zero byte, is
// refused before anything is looked at or created.
bool FitsFolderTree(const AnsiString& dest) {
  return dest.find('\0') == AnsiString::npos && dest.size() + std::strlen("\\System") < MAX_PATH;
}

}  // namespace

bool TFrameForm::PrepareDestination(const AnsiString& dest) {
  if (!FitsFolderTree(dest)) {
    ShowMessage(dest + TX(" を作成出来ません。"));
    return false;
  }

  PathBuffer buffer;
  buffer.Set(dest);
  if (EntryExists(buffer.c_str())) {
    MessageDlg(dest + TX(" はすでに他で使用されています。\nインストールを中止します。"), mtConfirmation, {mbOK}, 0);
    return false;
  }

  if (MessageDlg(dest + TX(" はありません。\nこのフォルダーを新しく作成しますか？"), mtConfirmation, {mbYes, mbNo}, 0) !=
      mrYes) {
    return false;
  }

  const AnsiString system = dest + "\\System";
  const AnsiString temp = dest + "\\Temp";
  if (ForceFolders(dest)) {
    if (!ForceFolders(system)) {
      RemoveFolder(dest);
    } else if (!ForceFolders(temp)) {
      RemoveFolder(system);
      RemoveFolder(dest);
    } else {
      return true;
    }
  }
  ShowMessage(dest + TX(" を作成出来ません。"));
  return false;
}

// Creates every missing level of `path`. The levels are the prefixes that end
// before a separator at byte position 5 or later (so a drive root "X:\" is
// never a level); a trailing separator is added when missing. The scan walks
// whole characters: the second byte of a double-byte character is never taken
// for a separator. True when at least one level was handled and each one is
// now a folder; the first level that is a file or cannot be made stops the
// scan with false. Nothing made here is removed.
bool TFrameForm::ForceFolders(const AnsiString& path) {
  AnsiString work = path;
  if (!LastCharIsBackslash(work)) work += '\\';

  bool done = false;
  size_t i = 0;
  while (i < work.size()) {
    const auto byte = static_cast<unsigned char>(work[i]);
    // The last byte is always the closing separator, never a trailing byte.
    if (IsLeadByte(byte) && i + 1 < work.size() - 1) {
      i += 2;
      continue;
    }
    if (byte == '\\' && i >= 4) {
      const AnsiString level = work.substr(0, i);
      WIN32_FIND_DATAA data;
      HANDLE search = FindFirstFileA(level.c_str(), &data);
      if (search != INVALID_HANDLE_VALUE) {
        const DWORD attributes = data.dwFileAttributes;
        FindClose(search);
        done = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      } else {
        done = CreateDirectoryA(level.c_str(), nullptr) != 0;
      }
      if (!done) break;
    }
    ++i;
  }
  return done;
}
