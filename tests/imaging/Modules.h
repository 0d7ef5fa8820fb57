// The library modules and the GIF plug-in as the tests load them: with
// dlopen, by path, each once per process and kept loaded.
#pragma once

#include <string>

#include "platform/abi/imgkit.h"
#include "platform/abi/spi.h"

namespace imgtest {

// The folder that holds the seven built modules.
std::string ModuleFolder();

// dlopen (RTLD_NOW | RTLD_LOCAL) of a module of that folder; null on failure.
void* OpenModule(const std::string& fileName);

// The four entry points, each from the module that exports it. Loading
// failures show as null pointers (and failed tests).
struct ImgKit {
  ImgKitFileTypeProc fileType = nullptr;
  ImgKitFileLoadProc fileLoad = nullptr;
  ImgKitDisplayHdcProc displayHdc = nullptr;
  ImgKitMemFreeProc memFree = nullptr;
};
const ImgKit& Library();

struct GifView {
  SpiIsSupportedProc isSupported = nullptr;
  SpiGetPictureInfoProc getPictureInfo = nullptr;
  SpiGetPictureProc getPicture = nullptr;
};
const GifView& Plugin();

}  // namespace imgtest
