// The imaging library binding: seven modules loaded by name when the form is
// created, 47 entry points resolved from them, the modules unloaded when the
// form goes (unless a call into the library ran out of time: then it is
// stopped). Anything missing stays empty without a word; ShowPicture treats
// a call of an empty entry point as a failed call.
#include "picture/ImageLibrary.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/system/Modules.h"
#include "setup_window/Frame.h"

namespace {

// Module handles, in load order.
HMODULE ImgComModule = nullptr;
HMODULE ImgScanModule = nullptr;
HMODULE ImgEtcModule = nullptr;
HMODULE ImgFileModule = nullptr;
HMODULE ImgDspModule = nullptr;
HMODULE ImgCutModule = nullptr;
HMODULE ImgTiffModule = nullptr;

std::array<HMODULE, 7> ModuleHandles() {
  return {ImgComModule, ImgScanModule, ImgEtcModule, ImgFileModule, ImgDspModule, ImgCutModule, ImgTiffModule};
}

// Whether the bound library is stopped, and every module of a library that
// was: each stays loaded for the run, so its handle stays its own.
bool LibraryStopped = false;
std::vector<HMODULE> StoppedModules;

// Entry points that are resolved and never called.
void* ImgKitMemSize = nullptr;
void* ImgKitSystemPalette = nullptr;
void* ImgKitScanSelect = nullptr;
void* ImgKitScan = nullptr;
void* ImgKitScanEasy = nullptr;
void* ImgKitScanMulti = nullptr;
void* ImgKitRotation = nullptr;
void* ImgKitBit24To8 = nullptr;
void* ImgKitBit8To4 = nullptr;
void* ImgKitSetGray = nullptr;
void* ImgKitImageSize = nullptr;
void* ImgKitImageInfo = nullptr;
void* ImgKitEmboss = nullptr;
void* ImgKitColorReverse = nullptr;
void* ImgKitColor24And8 = nullptr;
void* ImgKitMosaic = nullptr;
void* ImgKitFilter = nullptr;
void* ImgKitCopy = nullptr;
void* ImgKitJpegFileLoad = nullptr;
void* ImgKitBmpFileSave = nullptr;
void* ImgKitJpegFileSave = nullptr;
void* ImgKitSuperFileSave = nullptr;
void* ImgKitGifFileSave = nullptr;
void* ImgKitGifInterFileSave = nullptr;
void* ImgKitGifFileLoad = nullptr;
void* ImgKitDisplay = nullptr;
void* ImgKitPrintStart = nullptr;
void* ImgKitPrint = nullptr;
void* ImgKitPrintEnd = nullptr;
void* ImgKitCut = nullptr;
void* ImgKitTiffFileSave = nullptr;
void* ImgKitTiffFileLoad = nullptr;
void* ImgKitRectCut = nullptr;
void* ImgKitGetFromClipBrd = nullptr;
void* ImgKitSetToClipBrd = nullptr;
void* ImgKitBright = nullptr;
void* ImgKitRGB = nullptr;
void* ImgKitImageAdd = nullptr;
void* ImgKitConvertColor = nullptr;
void* ImgKitDisplayRGB = nullptr;
void* ImgKitDisplayHdcRGB = nullptr;
void* ImgKitDisplayHdcXY = nullptr;
void* ImgKitDisplayXY = nullptr;

template <class P>
void Resolve(P& pointer, HMODULE module, const char* name) {
  pointer = reinterpret_cast<P>(GetProcAddress(module, name));
}

}  // namespace

namespace imagelibrary {

ImgKitFileTypeProc ImgKitFileType = nullptr;
ImgKitFileLoadProc ImgKitFileLoad = nullptr;
ImgKitDisplayHdcProc ImgKitDisplayHdc = nullptr;
ImgKitMemFreeProc ImgKitMemFree = nullptr;

namespace {

struct NamedAddress {
  const char* name;
  const void* address;
};

// The 47 entry points as they stand now, in the order they are resolved.
template <class F>
void ForEachEntryPoint(F&& f) {
  const NamedAddress all[] = {
      {"ImgKitMemSize", ImgKitMemSize},
      {"ImgKitMemFree", reinterpret_cast<const void*>(ImgKitMemFree)},
      {"ImgKitSystemPalette", ImgKitSystemPalette},
      {"ImgKitScanSelect", ImgKitScanSelect},
      {"ImgKitScan", ImgKitScan},
      {"ImgKitScanEasy", ImgKitScanEasy},
      {"ImgKitScanMulti", ImgKitScanMulti},
      {"ImgKitRotation", ImgKitRotation},
      {"ImgKitBit24To8", ImgKitBit24To8},
      {"ImgKitBit8To4", ImgKitBit8To4},
      {"ImgKitSetGray", ImgKitSetGray},
      {"ImgKitImageSize", ImgKitImageSize},
      {"ImgKitImageInfo", ImgKitImageInfo},
      {"ImgKitEmboss", ImgKitEmboss},
      {"ImgKitColorReverse", ImgKitColorReverse},
      {"ImgKitColor24And8", ImgKitColor24And8},
      {"ImgKitMosaic", ImgKitMosaic},
      {"ImgKitFilter", ImgKitFilter},
      {"ImgKitCopy", ImgKitCopy},
      {"ImgKitFileLoad", reinterpret_cast<const void*>(ImgKitFileLoad)},
      {"ImgKitJpegFileLoad", ImgKitJpegFileLoad},
      {"ImgKitBmpFileSave", ImgKitBmpFileSave},
      {"ImgKitJpegFileSave", ImgKitJpegFileSave},
      {"ImgKitSuperFileSave", ImgKitSuperFileSave},
      {"ImgKitGifFileSave", ImgKitGifFileSave},
      {"ImgKitGifInterFileSave", ImgKitGifInterFileSave},
      {"ImgKitGifFileLoad", ImgKitGifFileLoad},
      {"ImgKitDisplay", ImgKitDisplay},
      {"ImgKitDisplayHdc", reinterpret_cast<const void*>(ImgKitDisplayHdc)},
      {"ImgKitPrintStart", ImgKitPrintStart},
      {"ImgKitPrint", ImgKitPrint},
      {"ImgKitPrintEnd", ImgKitPrintEnd},
      {"ImgKitCut", ImgKitCut},
      {"ImgKitTiffFileSave", ImgKitTiffFileSave},
      {"ImgKitTiffFileLoad", ImgKitTiffFileLoad},
      {"ImgKitRectCut", ImgKitRectCut},
      {"ImgKitGetFromClipBrd", ImgKitGetFromClipBrd},
      {"ImgKitSetToClipBrd", ImgKitSetToClipBrd},
      {"ImgKitBright", ImgKitBright},
      {"ImgKitRGB", ImgKitRGB},
      {"ImgKitFileType", reinterpret_cast<const void*>(ImgKitFileType)},
      {"ImgKitImageAdd", ImgKitImageAdd},
      {"ImgKitConvertColor", ImgKitConvertColor},
      {"ImgKitDisplayRGB", ImgKitDisplayRGB},
      {"ImgKitDisplayHdcRGB", ImgKitDisplayHdcRGB},
      {"ImgKitDisplayHdcXY", ImgKitDisplayHdcXY},
      {"ImgKitDisplayXY", ImgKitDisplayXY},
  };
  for (const NamedAddress& entry : all) f(entry);
}

}  // namespace

const void* EntryPoint(const char* name) {
  const void* found = nullptr;
  ForEachEntryPoint([&](const NamedAddress& e) {
    if (std::strcmp(e.name, name) == 0) found = e.address;
  });
  return found;
}

HMODULE Module(const char* fileName) {
  const struct {
    const char* name;
    HMODULE handle;
  } modules[] = {{"IMGCOM3.DLL", ImgComModule},   {"IMGSCAN3.DLL", ImgScanModule},
                 {"IMGETC3.DLL", ImgEtcModule},   {"IMGFILE3.DLL", ImgFileModule},
                 {"IMGDSP3.DLL", ImgDspModule},   {"IMGCUT3.DLL", ImgCutModule},
                 {"IMGTIFF3.DLL", ImgTiffModule}};
  for (const auto& m : modules)
    if (std::strcmp(m.name, fileName) == 0) return m.handle;
  return nullptr;
}

int BoundEntryPoints() {
  int count = 0;
  ForEachEntryPoint([&](const NamedAddress& e) { count += e.address != nullptr ? 1 : 0; });
  return count;
}

void Stop() {
  if (LibraryStopped) return;
  LibraryStopped = true;
  for (HMODULE m : ModuleHandles())
    if (m != nullptr) StoppedModules.push_back(m);
}

bool Stopped() { return LibraryStopped; }

int LoadedModules() {
  int count = 0;
  for (HMODULE m : ModuleHandles())
    count += m != nullptr ? 1 : 0;
  return count;
}

}  // namespace imagelibrary

void TFrameForm::LoadImageLibrary() {
  using namespace imagelibrary;

  // Every module is tried, whether or not an earlier one loaded.
  ImgComModule = LoadLibraryA("IMGCOM3.DLL");
  ImgScanModule = LoadLibraryA("IMGSCAN3.DLL");
  ImgEtcModule = LoadLibraryA("IMGETC3.DLL");
  ImgFileModule = LoadLibraryA("IMGFILE3.DLL");
  ImgDspModule = LoadLibraryA("IMGDSP3.DLL");
  ImgCutModule = LoadLibraryA("IMGCUT3.DLL");
  ImgTiffModule = LoadLibraryA("IMGTIFF3.DLL");

  // Loading a stopped module again gives the same module, still stopped.
  LibraryStopped = false;
  for (HMODULE m : ModuleHandles())
    if (m != nullptr && std::find(StoppedModules.begin(), StoppedModules.end(), m) != StoppedModules.end())
      LibraryStopped = true;

  // A module that did not load gives null for every name looked up in it.
  Resolve(ImgKitMemSize, ImgComModule, "ImgKitMemSize");
  Resolve(ImgKitMemFree, ImgComModule, "ImgKitMemFree");
  Resolve(ImgKitSystemPalette, ImgComModule, "ImgKitSystemPalette");
  Resolve(ImgKitScanSelect, ImgScanModule, "ImgKitScanSelect");
  Resolve(ImgKitScan, ImgScanModule, "ImgKitScan");
  Resolve(ImgKitScanEasy, ImgScanModule, "ImgKitScanEasy");
  Resolve(ImgKitScanMulti, ImgScanModule, "ImgKitScanMulti");
  Resolve(ImgKitRotation, ImgEtcModule, "ImgKitRotation");
  Resolve(ImgKitBit24To8, ImgEtcModule, "ImgKitBit24To8");
  Resolve(ImgKitBit8To4, ImgEtcModule, "ImgKitBit8To4");
  Resolve(ImgKitSetGray, ImgEtcModule, "ImgKitSetGray");
  Resolve(ImgKitImageSize, ImgEtcModule, "ImgKitImageSize");
  Resolve(ImgKitImageInfo, ImgEtcModule, "ImgKitImageInfo");
  Resolve(ImgKitEmboss, ImgEtcModule, "ImgKitEmboss");
  Resolve(ImgKitColorReverse, ImgEtcModule, "ImgKitColorReverse");
  Resolve(ImgKitColor24And8, ImgEtcModule, "ImgKitColor24And8");
  Resolve(ImgKitMosaic, ImgEtcModule, "ImgKitMosaic");
  Resolve(ImgKitFilter, ImgEtcModule, "ImgKitFilter");
  Resolve(ImgKitCopy, ImgEtcModule, "ImgKitCopy");
  Resolve(ImgKitFileLoad, ImgFileModule, "ImgKitFileLoad");
  Resolve(ImgKitJpegFileLoad, ImgFileModule, "ImgKitJpegFileLoad");
  Resolve(ImgKitBmpFileSave, ImgFileModule, "ImgKitBmpFileSave");
  Resolve(ImgKitJpegFileSave, ImgFileModule, "ImgKitJpegFileSave");
  Resolve(ImgKitSuperFileSave, ImgFileModule, "ImgKitSuperFileSave");
  Resolve(ImgKitGifFileSave, ImgFileModule, "ImgKitGifFileSave");
  Resolve(ImgKitGifInterFileSave, ImgFileModule, "ImgKitGifInterFileSave");
  Resolve(ImgKitGifFileLoad, ImgFileModule, "ImgKitGifFileLoad");
  Resolve(ImgKitDisplay, ImgDspModule, "ImgKitDisplay");
  Resolve(ImgKitDisplayHdc, ImgDspModule, "ImgKitDisplayHdc");
  Resolve(ImgKitPrintStart, ImgDspModule, "ImgKitPrintStart");
  Resolve(ImgKitPrint, ImgDspModule, "ImgKitPrint");
  Resolve(ImgKitPrintEnd, ImgDspModule, "ImgKitPrintEnd");
  Resolve(ImgKitCut, ImgCutModule, "ImgKitCut");
  Resolve(ImgKitTiffFileSave, ImgTiffModule, "ImgKitTiffFileSave");
  Resolve(ImgKitTiffFileLoad, ImgTiffModule, "ImgKitTiffFileLoad");
  Resolve(ImgKitRectCut, ImgCutModule, "ImgKitRectCut");
  Resolve(ImgKitGetFromClipBrd, ImgEtcModule, "ImgKitGetFromClipBrd");
  Resolve(ImgKitSetToClipBrd, ImgEtcModule, "ImgKitSetToClipBrd");
  Resolve(ImgKitBright, ImgEtcModule, "ImgKitBright");
  Resolve(ImgKitRGB, ImgEtcModule, "ImgKitRGB");
  Resolve(ImgKitFileType, ImgFileModule, "ImgKitFileType");
  Resolve(ImgKitImageAdd, ImgEtcModule, "ImgKitImageAdd");
  Resolve(ImgKitConvertColor, ImgEtcModule, "ImgKitConvertColor");
  Resolve(ImgKitDisplayRGB, ImgDspModule, "ImgKitDisplayRGB");
  Resolve(ImgKitDisplayHdcRGB, ImgDspModule, "ImgKitDisplayHdcRGB");
  Resolve(ImgKitDisplayHdcXY, ImgDspModule, "ImgKitDisplayHdcXY");
  Resolve(ImgKitDisplayXY, ImgDspModule, "ImgKitDisplayXY");
}

void TFrameForm::FreeImageLibrary() {
  // Unloaded in the order they were loaded. The entry points are left as they
  // are: nothing calls them afterwards. A handle is cleared once its module is
  // unloaded, so a second call (a form made again) cannot unload it twice.
  //
  // A stopped library stays loaded whole: its modules share one image store
  // (ImgFile3 and ImgDsp3 work in ImgCom3's), so the stopped call may have
  // been left inside any of them, and unloading one runs finalisers that may
  // reach what it left half-done (a lock it holds, a store it was changing).
  for (HMODULE* module : {&ImgComModule, &ImgScanModule, &ImgEtcModule, &ImgFileModule, &ImgDspModule,
                          &ImgCutModule, &ImgTiffModule}) {
    if (*module != nullptr && !imagelibrary::Stopped()) FreeLibrary(*module);
    *module = nullptr;
  }
}
