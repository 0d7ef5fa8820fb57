/* A module that never returns: its picture entry points spin or sleep for
   ever, as a damaged or hostile plug-in might. Only the watchdog gets the
   caller back. IsSupported claims a file whose name holds "claim" (and then
   hangs in GetPictureInfo); for any other it hangs itself. Its unloading is
   reported to the test program, which must not unload it once stopped. */
#include <stdint.h>
#include <string.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

/* Defined by the test program. */
extern void HardeningModuleUnloaded(void) __attribute__((weak));

static volatile unsigned long spins;
static volatile int hangWhenUnloaded;

__attribute__((destructor)) static void Unloaded(void) {
  if (HardeningModuleUnloaded) HardeningModuleUnloaded();
  /* A finaliser waiting for what a stopped call left half-done. */
  while (hangWhenUnloaded) pause();
}

EXPORT void HangWhenUnloaded(void) { hangWhenUnloaded = 1; }

EXPORT int32_t IsSupported(const char* fileName, intptr_t handle) {
  (void)handle;
  if (fileName != NULL && strstr(fileName, "claim") != NULL) return 1;
  for (;;) ++spins;
}

EXPORT int32_t GetPictureInfo(const char* source, intptr_t length, uint32_t flag, void* info) {
  (void)source;
  (void)length;
  (void)flag;
  (void)info;
  for (;;) ++spins;
}

EXPORT int32_t GetPicture(const char* source, intptr_t length, uint32_t flag, void* info, void* bits,
                          void* progress, intptr_t data) {
  (void)source;
  (void)length;
  (void)flag;
  (void)info;
  (void)bits;
  (void)progress;
  (void)data;
  for (;;) ++spins;
}

/* Blocks in a system call instead of spinning. */
EXPORT int HangSleeping(int value) {
  (void)value;
  for (;;) pause();
}

EXPORT int HangSpinning(int value) {
  (void)value;
  for (;;) ++spins;
}

EXPORT int AddOne(int value) { return value + 1; }
