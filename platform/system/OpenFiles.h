// The files that FileOpen holds open, so that an open without sharing keeps
// every other open of the same file out (CopyFileA asks too).
#pragma once

#include <sys/types.h>

namespace openfiles {

// True while the file (device, inode) is open through FileOpen without sharing.
bool HeldExclusively(dev_t device, ino_t inode);

}  // namespace openfiles
