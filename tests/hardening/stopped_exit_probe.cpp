// A program that stops a module call and then ends through guard::EndProcess:
// the module's finaliser would wait for ever, so the program only ends when
// no finaliser runs. With any argument it stops nothing and ends normally.
// Exit codes: 7 ended as asked, 2 the module could not be used.
#include <dlfcn.h>

#include <chrono>

#include "platform/system/Guard.h"

int main(int argc, char**) {
  void* module = dlopen(FIXTURE_HANG_PATH, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return 2;
  auto hang = reinterpret_cast<int (*)(int)>(dlsym(module, "HangSpinning"));
  auto add = reinterpret_cast<int (*)(int)>(dlsym(module, "AddOne"));
  auto arm = reinterpret_cast<void (*)()>(dlsym(module, "HangWhenUnloaded"));
  if (hang == nullptr || add == nullptr || arm == nullptr) return 2;
  guard::SetTimeLimit(std::chrono::milliseconds(100));
  if (argc > 1) {
    if (guard::Call(-1, add, 6) != 7 || guard::AnyCallStopped()) return 2;
  } else {
    arm();
    if (guard::Call(-1, hang, 0) != -1 || !guard::AnyCallStopped()) return 2;
  }
  guard::EndProcess(7);
}
