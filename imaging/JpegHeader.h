// Reading a JPEG file's header (its markers up to the first scan) without
// reading the compressed picture data.
#pragma once

#include <cstdint>

namespace imgkit {

struct JpegHeader {
  int width = 0;
  int height = 0;
  int colorspace = 0;  // a TJCS_* value
  int64_t fileSize = 0;
};

// Reads the header of the open regular file `fd`. Only the markers the
// decoder needs to judge the picture (tables, frame, scan, JFIF and Adobe
// segments) are read; metadata segments are skipped without reading them.
// True when the decoder accepts the header; the size is not checked here.
bool ReadJpegHeader(int fd, JpegHeader* header);

}  // namespace imgkit
