// Temporary files and folders for the fuzz targets that read from files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzfiles {

// A fresh folder under TMPDIR (else /dev/shm, else /tmp), removed when the
// process ends.
const std::string& ScratchFolder();

// Writes `size` bytes to a file of the scratch folder (the same file on every
// call) and returns its host path.
std::string WriteInput(const uint8_t* data, size_t size);

}  // namespace fuzzfiles
