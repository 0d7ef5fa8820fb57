// Starting another program the way the C runtime's spawn calls do: the name
// is looked for in the current folder, then along PATH. Only starting without
// waiting is supported.
#pragma once

#include <cstdint>

constexpr int P_WAIT = 0;
constexpr int P_NOWAIT = 1;

// Starts `name` with the arguments `arg0, ...` (closed by a null pointer) and
// returns at once with the new process's id, or -1 (errno set) when nothing
// could be started or `mode` is not P_NOWAIT.
//
// The name is matched without regard to ASCII case, first in the current
// folder, then in each folder of PATH in order; a name with a '\' or '/' is a
// path and is not searched for. When "NOTEPAD.EXE" (any case) is found
// nowhere, the desktop's viewer `xdg-open` (from PATH) is started on the same
// arguments instead. The program inherits the environment and the current
// folder, and runs detached: it is never waited for and never left as a
// zombie. Fails through the fault seam (call "spawnlp", the name).
intptr_t spawnlp(int mode, const char* name, const char* arg0, ...);

// The same with the arguments in a null-terminated array.
intptr_t spawnvp(int mode, const char* name, const char* const* argv);
