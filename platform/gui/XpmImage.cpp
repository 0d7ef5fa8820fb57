// XPM text to a picture through Qt's built-in XPM reader.
#include "XpmImage.h"

#include <cstdio>
#include <string>
#include <vector>

QImage ImageFromXpmText(std::string_view text) {
  // The strings are the texts between pairs of double quotes, as the XPM
  // reader takes them from a file: no escapes, nothing outside them counts.
  std::vector<std::string> lines;
  size_t pos = 0;
  while ((pos = text.find('"', pos)) != std::string_view::npos) {
    const size_t end = text.find('"', pos + 1);
    if (end == std::string_view::npos) break;
    lines.emplace_back(text.substr(pos + 1, end - pos - 1));
    pos = end + 1;
  }
  if (lines.empty()) return {};
  // The reader takes the header's counts on trust: make sure every line it
  // will ask for is there.
  int width = 0, height = 0, colours = 0, charsPerPixel = 0;
  if (std::sscanf(lines[0].c_str(), "%d %d %d %d", &width, &height, &colours, &charsPerPixel) < 4) return {};
  if (width <= 0 || height <= 0 || colours <= 0 || charsPerPixel <= 0) return {};
  if (1 + static_cast<long long>(colours) + height > static_cast<long long>(lines.size())) return {};
  std::vector<const char*> array;
  array.reserve(lines.size() + 1);
  for (const std::string& line : lines) array.push_back(line.c_str());
  array.push_back(nullptr);
  return QImage(array.data());
}
