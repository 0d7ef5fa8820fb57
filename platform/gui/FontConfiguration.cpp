// Reading the desktop's font configuration ahead of the first text.
#include "FontConfiguration.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <system_error>
#include <thread>

namespace fontconfiguration {
namespace {

bool HasCacheFolder(FcConfig* config) {
  FcStrList* folders = FcConfigGetCacheDirs(config);
  const bool any = folders != nullptr && FcStrListNext(folders) != nullptr;
  FcStrListDone(folders);
  return any;
}

// Replacing a configuration that is already in use is safe only where
// fontconfig counts the references to it (2.13.91 on); older versions make
// their own as usual.
void Install() {
#if FC_VERSION >= 21391
  FcConfig* config = Read();
  if (config == nullptr) return;  // fontconfig makes its own when first used
  FcConfigSetCurrent(config);
  FcConfigDestroy(config);  // the current configuration holds its own reference
#endif
}

struct Loader {
  std::once_flag done;
  std::mutex joining;
  std::thread thread;
  // A program that ends first still lets the thread finish.
  ~Loader() {
    if (thread.joinable()) thread.join();
  }
};

Loader& TheLoader() {
  static Loader loader;
  return loader;
}

}  // namespace

// What fontconfig does when first used, except that it does not also read
// the folder of configuration templates, whose rules it never applies (it
// keeps only their descriptions, for listing them): that is nearly as much
// work again as reading the configuration itself. A configuration fontconfig
// would have to complete (no cache folder) is left for it to make.
FcConfig* Read() {
  FcConfig* config = FcConfigCreate();
  if (config == nullptr) return nullptr;
  if (!FcConfigParseAndLoad(config, nullptr, FcTrue) || !HasCacheFolder(config) || !FcConfigBuildFonts(config)) {
    FcConfigDestroy(config);
    return nullptr;
  }
  return config;
}

void Load(bool inBackground) {
  Loader& loader = TheLoader();
  std::call_once(loader.done, [&loader, inBackground] {
    if (inBackground) {
      try {
        loader.thread = std::thread(Install);
        return;
      } catch (const std::system_error&) {
        // No thread to be had: read it now.
      }
    }
    Install();
  });
}

void WaitUntilLoaded() {
  Loader& loader = TheLoader();
  const std::lock_guard<std::mutex> lock(loader.joining);
  if (loader.thread.joinable()) loader.thread.join();
}

}  // namespace fontconfiguration
