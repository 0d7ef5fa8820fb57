// The imaging library as the picture code sees it: the four entry points that
// are called, resolved by LoadImageLibrary and left empty when their module or
// name is missing. Internal to picture/ (and its tests).
#pragma once

#include "platform/abi/imgkit.h"

namespace imagelibrary {

extern ImgKitFileTypeProc ImgKitFileType;
extern ImgKitFileLoadProc ImgKitFileLoad;
extern ImgKitDisplayHdcProc ImgKitDisplayHdc;
extern ImgKitMemFreeProc ImgKitMemFree;

// A call into the library that ran out of time ends its use for the run: the
// library is stopped, nothing calls it again and its modules are never
// unloaded. Binding the same modules again (a form made again) finds them
// still stopped.
void Stop();
bool Stopped();

// For checking the binding: the address bound to an entry point (nullptr when
// empty or when the name is not one of the 47), the handle of one of the seven
// modules by its file name ("IMGCOM3.DLL"...), and how many of each are bound.
const void* EntryPoint(const char* name);
HMODULE Module(const char* fileName);
int BoundEntryPoints();
int LoadedModules();

}  // namespace imagelibrary
