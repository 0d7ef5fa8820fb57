// The shell link object (class CLSID_ShellLink) and its two interfaces: the
// link's properties through IShellLinkA, writing the link file through
// IPersistFile. The file is a real shell link (.lnk) file.
#pragma once

#include <string>

#include "platform/shell/Com.h"

inline constexpr CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000,
                                          {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IShellLinkA = {0x000214EE, 0x0000, 0x0000,
                                        {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000,
                                     {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000,
                                         {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IShellLinkA : IUnknown {
  // The target: a Windows path in the active code page.
  virtual HRESULT SetPath(const char* file) = 0;
  // Copies the target into `file` (cut to `size` - 1 bytes); S_FALSE when
  // there is none. `findData` and `flags` are accepted and not used.
  virtual HRESULT GetPath(char* file, int size, WIN32_FIND_DATAA* findData, DWORD flags) = 0;
  // The comment shown for the link; an empty one is not written to the file.
  virtual HRESULT SetDescription(const char* name) = 0;
  virtual HRESULT GetDescription(char* name, int size) = 0;

 protected:
  ~IShellLinkA() = default;
};

struct IPersistFile : IUnknown {
  // Writes the object to the file named by the Windows path `fileName`. The
  // file appears whole or not at all: it is written beside its final place
  // under a temporary name and then renamed. With `remember` the path becomes
  // the object's current file. Fails when the folder is missing or cannot be
  // written, and through the fault seam (call "ShellLinkSave", the path).
  virtual HRESULT Save(const char16_t* fileName, BOOL remember) = 0;

 protected:
  ~IPersistFile() = default;
};

namespace shell_link {

// Makes a new link object and returns its IUnknown with one reference.
IUnknown* CreateObject();
// How many link objects are alive (tests check that Release frees them).
int LiveObjects();
// The host path of the temporary file a save to `hostLinkPath` writes first.
std::string TempPathFor(const std::string& hostLinkPath);

}  // namespace shell_link
