// The program's side of local memory (localmem.h is the modules' side).
#pragma once

#include <cstddef>

namespace localmem {

// When `p` points inside a live local-memory block, stores how many bytes of
// that block lie at and after `p` and returns true; false otherwise.
bool BytesAvailableAt(const void* p, size_t* bytes);

// Number of live blocks (tests use it to prove that nothing leaked).
size_t LiveBlocks();

}  // namespace localmem
