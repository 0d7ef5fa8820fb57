#include "tests/imaging/Modules.h"

#include <dlfcn.h>

namespace imgtest {

std::string ModuleFolder() { return IMGKIT_MODULE_DIR; }

void* OpenModule(const std::string& fileName) {
  return dlopen((ModuleFolder() + "/" + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

const ImgKit& Library() {
  static const ImgKit kit = [] {
    ImgKit k;
    void* com = OpenModule("ImgCom3.dll");
    void* file = OpenModule("ImgFile3.dll");
    void* dsp = OpenModule("ImgDsp3.dll");
    if (com) k.memFree = reinterpret_cast<ImgKitMemFreeProc>(dlsym(com, "ImgKitMemFree"));
    if (file) {
      k.fileType = reinterpret_cast<ImgKitFileTypeProc>(dlsym(file, "ImgKitFileType"));
      k.fileLoad = reinterpret_cast<ImgKitFileLoadProc>(dlsym(file, "ImgKitFileLoad"));
    }
    if (dsp) k.displayHdc = reinterpret_cast<ImgKitDisplayHdcProc>(dlsym(dsp, "ImgKitDisplayHdc"));
    return k;
  }();
  return kit;
}

const GifView& Plugin() {
  static const GifView view = [] {
    GifView v;
    void* spi = dlopen(GIFVIEW_SPI, RTLD_NOW | RTLD_LOCAL);
    if (spi) {
      v.isSupported = reinterpret_cast<SpiIsSupportedProc>(dlsym(spi, "IsSupported"));
      v.getPictureInfo = reinterpret_cast<SpiGetPictureInfoProc>(dlsym(spi, "GetPictureInfo"));
      v.getPicture = reinterpret_cast<SpiGetPictureProc>(dlsym(spi, "GetPicture"));
    }
    return v;
  }();
  return view;
}

}  // namespace imgtest
