// Run-time loaded modules (ELF shared objects whatever their extension).
#pragma once

#include "platform/abi/wintypes.h"

// A bare name is looked for in the executable's own folder first, then in the
// current folder, matched without regard to case; a name with a folder is
// mapped as a path. Returns 0 when the module cannot be loaded.
HMODULE LoadLibraryA(const char* name);
// The address of an exported name, or nullptr (also for a null module).
void* GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
