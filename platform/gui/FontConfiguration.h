// The desktop's font configuration (fontconfig), read once per process.
// Reading it is most of the cost of the first text a program measures or
// draws.
#pragma once

typedef struct _FcConfig FcConfig;

namespace fontconfiguration {

// A new configuration as fontconfig would make it for itself when first
// used, less the descriptions of the configuration templates; null when
// fontconfig has to make it itself. The caller owns it (FcConfigDestroy).
FcConfig* Read();

// Reads the configuration and makes it fontconfig's current one (in place of
// one fontconfig may have made already), the first time only. `inBackground`:
// on a thread of its own, for WaitUntilLoaded to collect, so that other
// start-up work can go on meanwhile.
void Load(bool inBackground);
// Returns once the configuration read in the background is in place (at once
// when there is none).
void WaitUntilLoaded();

}  // namespace fontconfiguration
