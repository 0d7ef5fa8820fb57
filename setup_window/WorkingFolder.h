// The working-folder switch: run a piece of work with the installer's own
// folder current, then make the remembered folder current again. Results of
// the folder changes are not examined. The remembered folder is restored also
// when the work ends with an error.
#pragma once

#include "platform/gui/Forms.h"
#include "platform/system/Files.h"

template <class F>
void WithInstallerFolder(F&& work) {
  struct Restore {
    AnsiString folder;
    ~Restore() { SetCurrentDir(folder); }
  } restore{GetCurrentDir()};
  SetCurrentDir(ExtractFileDir(Application->ExeName()));
  work();
}
