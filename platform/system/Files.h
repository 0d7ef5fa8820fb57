// Files and folders with the meaning the program relies on. Every call takes
// Windows-style paths in the active code page and can be made to fail through
// the fault seam (Fault.h).
#pragma once

#include <cstdint>

#include "platform/abi/wintypes.h"
#include "platform/text/Text.h"

DWORD GetLastError();
void SetLastError(DWORD error);

// Wildcards '*' and '?' in the last component, matched without regard to case.
// Returns INVALID_HANDLE_VALUE when nothing matches (error ERROR_FILE_NOT_FOUND)
// or the path is bad.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

BOOL CreateDirectoryA(const char* path, void* securityAttributes);
// Removes an empty folder.
BOOL RemoveDirectoryA(const char* path);
// Copies a whole file. With failIfExists false an existing target is replaced.
// The target keeps the source's modification time. A copy that fails leaves
// no target behind (an existing target it was to replace stays as it was).
BOOL CopyFileA(const char* source, const char* target, BOOL failIfExists);

// The current folder in Windows form.
AnsiString GetCurrentDir();
// Makes a folder current; false when it cannot.
bool SetCurrentDir(const AnsiString& path);

// Open modes for FileOpen: 0 is read-only without sharing.
constexpr int fmOpenRead = 0;
// Opens an existing file; returns the handle (a file descriptor) or -1. In mode
// 0 a second open of the same file through this layer is refused while the
// first is open.
int FileOpen(const AnsiString& path, int mode);
// Returns the new position, or -1.
int64_t FileSeek(int handle, int64_t offset, int origin);
void FileClose(int handle);

// The full Windows path of the running executable.
AnsiString ExecutablePath();
// Tests make another path count as the executable's (module search, ExeName).
void SetExecutablePathForTesting(const AnsiString& winPath);
