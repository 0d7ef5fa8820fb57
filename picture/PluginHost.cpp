// The image plug-in host: lists the ".spi" modules of the current folder and
// decodes a picture through the first of them that declares support for it.
// One plug-in module is loaded at a time; every call into it is guarded.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "platform/abi/spi.h"
#include "platform/gui/Graphics.h"
#include "platform/system/Files.h"
#include "platform/system/Guard.h"
#include "platform/system/Modules.h"
#include "setup_window/Frame.h"

static_assert(offsetof(SpiPictureInfo, width) == 8 && offsetof(SpiPictureInfo, height) == 12,
              "the picture record keeps width and height at bytes 8 and 12");

namespace {

// The plug-in being tried and its three entry points, overwritten for each.
HMODULE PluginModule = nullptr;
SpiIsSupportedProc IsSupported = nullptr;
SpiGetPictureInfoProc GetPictureInfo = nullptr;
SpiGetPictureProc GetPicture = nullptr;

constexpr int32_t kFailed = -1;

// Plug-ins a call into which ran out of time during this run. Such a module
// was stopped in the middle of its work: it is never called again (another
// call would freeze the window again, and its state is half-built) and never
// unloaded (that would run its finalisers), so its handle stays its own.
std::vector<HMODULE> StoppedPlugins;

bool IsStopped(HMODULE module) {
  return std::find(StoppedPlugins.begin(), StoppedPlugins.end(), module) != StoppedPlugins.end();
}

// Calls an entry point of the plug-in in PluginModule under the guard and
// remembers the plug-in as stopped when the call ran out of time.
template <class Fn, class... Args>
int32_t CallPlugin(int32_t failure, Fn fn, Args... args) {
  const int32_t result = guard::Call<int32_t>(failure, fn, args...);
  if (guard::LastTimedOut()) StoppedPlugins.push_back(PluginModule);
  return result;
}

// The open picture file; closed once, at the latest when the host returns.
class PictureFile {
 public:
  explicit PictureFile(int handle) : handle_(handle) {}
  ~PictureFile() { Close(); }
  PictureFile(const PictureFile&) = delete;
  PictureFile& operator=(const PictureFile&) = delete;
  int Handle() const { return handle_; }
  void Close() {
    if (handle_ >= 0) FileClose(handle_);
    handle_ = -1;
  }

 private:
  int handle_;
};

// The two blocks a plug-in hands back, released on every way out: the pixel
// block first, then the bitmap information. A handle that is no live block
// cannot be locked; the platform's LocalFree refuses it harmlessly.
struct PictureBlocks {
  HLOCAL info = nullptr;
  HLOCAL pixels = nullptr;
  void* infoBits = nullptr;
  void* pixelBits = nullptr;

  PictureBlocks() = default;
  PictureBlocks(const PictureBlocks&) = delete;
  PictureBlocks& operator=(const PictureBlocks&) = delete;
  ~PictureBlocks() {
    Release(pixels, pixelBits);
    Release(info, infoBits);
  }
  void Lock() {
    infoBits = LocalLock(info);
    pixelBits = LocalLock(pixels);
  }

 private:
  static void Release(HLOCAL handle, void* bits) {
    if (handle == nullptr) return;
    if (bits != nullptr) LocalUnlock(handle);
    LocalFree(handle);
  }
};

// Unloads the plug-in in PluginModule unless it was stopped.
void UnloadUnlessStopped() {
  if (!IsStopped(PluginModule)) FreeLibrary(PluginModule);
}

// Unloads the plug-in when the decoding ends, after the blocks are released.
struct UnloadPlugin {
  UnloadPlugin() = default;
  UnloadPlugin(const UnloadPlugin&) = delete;
  UnloadPlugin& operator=(const UnloadPlugin&) = delete;
  ~UnloadPlugin() { UnloadUnlessStopped(); }
};

// Copies the plug-in's pixels into the target bitmap; 0 on success.
int32_t TransferPixels(PictureBlocks& blocks, const SpiPictureInfo& record, TBitmap* bitmap) {
  blocks.Lock();
  if (blocks.infoBits == nullptr || blocks.pixelBits == nullptr) return kFailed;

  // Not guarded: a bitmap that cannot be made is an error for the caller.
  bitmap->SetWidth(record.width);
  bitmap->SetHeight(record.height);

  // The header is the plug-in's data, read under the guard. Nothing in this
  // body owns resources, since a fault leaves it without unwinding.
  bool transferred = false;
  const HLOCAL infoHandle = blocks.info;
  const void* infoBits = blocks.infoBits;
  const void* pixelBits = blocks.pixelBits;
  const bool ran = guard::Run([&] {
    if (LocalSize(infoHandle) < sizeof(BITMAPINFOHEADER)) return;
    const auto* header = static_cast<const BITMAPINFO*>(infoBits);
    // The line count is the header's height as it stands; the platform takes
    // a negative (top-down) height as that many rows.
    const auto lines = static_cast<UINT>(header->bmiHeader.biHeight);
    SetDIBits(bitmap->Canvas()->Handle(), bitmap->Handle(), 0, lines, pixelBits, header, DIB_RGB_COLORS);
    transferred = true;
  });
  return ran && transferred ? 0 : kFailed;
}

// Runs the plug-in in PluginModule, which has declared support, to the end:
// picture record, picture, transfer. Unloads it on every way out.
bool DecodeWithPlugin(const AnsiString& fileName, TBitmap* bitmap) {
  UnloadPlugin unload;
  PictureBlocks blocks;
  const char* name = fileName.c_str();

  SpiPictureInfo record{};
  GetPictureInfo = reinterpret_cast<SpiGetPictureInfoProc>(GetProcAddress(PluginModule, "GetPictureInfo"));
  int32_t result = CallPlugin(kFailed, GetPictureInfo, name, intptr_t{0}, uint32_t{0}, &record);

  if (result == 0) {
    GetPicture = reinterpret_cast<SpiGetPictureProc>(GetProcAddress(PluginModule, "GetPicture"));
    HLOCAL info = nullptr;
    HLOCAL pixels = nullptr;
    result = CallPlugin(kFailed, GetPicture, name, intptr_t{0}, uint32_t{0}, &info, &pixels,
                        SpiProgressCallback{nullptr}, intptr_t{0});
    // The blocks become ours only when the call succeeded.
    if (result == 0) {
      blocks.info = info;
      blocks.pixels = pixels;
    }
  }

  if (result == 0) result = TransferPixels(blocks, record, bitmap);
  return result == 0;
}

}  // namespace

void TFrameForm::FindPlugins() {
  PluginCount = 0;
  PluginList->Clear();

  WIN32_FIND_DATAA entry{};
  HANDLE search = FindFirstFileA("*.spi", &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    PluginList->Add(AnsiString(entry.cFileName, strnlen(entry.cFileName, sizeof entry.cFileName)));
    ++PluginCount;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

bool TFrameForm::LoadPictureByPlugin(const AnsiString& fileName, TBitmap* bitmap) {
  // Read-only and unshared: while a plug-in is asked, nobody opens it by name.
  PictureFile file(FileOpen(fileName, fmOpenRead));
  if (file.Handle() < 0) return false;

  for (int index = 0; index < PluginCount; ++index) {
    PluginModule = LoadLibraryA(PluginList->Strings(index).c_str());
    if (PluginModule == nullptr) continue;
    // A stopped plug-in is passed over. Loading it again only took one more
    // reference to the module that stays loaded; that reference is given back.
    if (IsStopped(PluginModule)) {
      FreeLibrary(PluginModule);
      continue;
    }

    FileSeek(file.Handle(), 0, 0);
    IsSupported = reinterpret_cast<SpiIsSupportedProc>(GetProcAddress(PluginModule, "IsSupported"));
    if (CallPlugin(0, IsSupported, fileName.c_str(), intptr_t{file.Handle()}) == 0) {
      UnloadUnlessStopped();
      continue;
    }

    // This plug-in decides; from here on it reads the file by its name.
    file.Close();
    return DecodeWithPlugin(fileName, bitmap);
  }
  return false;
}
