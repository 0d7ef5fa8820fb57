/* Local memory: movable blocks addressed by handles. The program exports these
   functions so that loaded modules (image plug-ins) allocate the blocks they
   hand back with them; the program then locks, unlocks and frees them. */
#ifndef CORVALEN_ABI_LOCALMEM_H
#define CORVALEN_ABI_LOCALMEM_H

#include "wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

#define CORVALEN_EXPORT __attribute__((visibility("default")))

/* Returns a handle of a new block of `bytes` bytes, or NULL when it cannot be had. */
CORVALEN_EXPORT HLOCAL LocalAlloc(UINT flags, size_t bytes);
/* Returns the block's memory, or NULL for a handle that is not a live block. */
CORVALEN_EXPORT void* LocalLock(HLOCAL mem);
/* Returns nonzero while the block stays locked, 0 when it is now unlocked or unknown. */
CORVALEN_EXPORT BOOL LocalUnlock(HLOCAL mem);
/* Frees the block; returns NULL on success and the handle itself on failure. */
CORVALEN_EXPORT HLOCAL LocalFree(HLOCAL mem);
/* Size of the block in bytes, 0 for an unknown handle. */
CORVALEN_EXPORT size_t LocalSize(HLOCAL mem);

#ifdef __cplusplus
}
#endif

#endif
