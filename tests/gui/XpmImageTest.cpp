// XPM pictures decoded from their text: the same picture Qt's XPM file reader
// gives, and nothing (rather than a read past the lines) for short or broken
// texts.
#include <QImage>
#include <string>

#include <gtest/gtest.h>

#include "platform/gui/XpmImage.h"

namespace {

const char kArrow[] =
    "/* XPM */\n"
    "static const char* arrow[] = {\n"
    "/* columns rows colours chars-per-pixel */\n"
    "\"5 3 3 2\",\n"
    "\"   c None\",\n"
    "\".. c #FF0000\",\n"
    "\"## c #00FF00\",\n"
    "/* pixels */\n"
    "\"  ..######..  \",\n"
    "\"....##  ##....\",\n"
    "\"  ..######..  \"\n"
    "};\n";

QImage FromQtReader(const std::string& text) {
  return QImage::fromData(reinterpret_cast<const uchar*>(text.data()), static_cast<int>(text.size()), "XPM");
}

TEST(XpmImage, GivesThePictureQtsFileReaderGives) {
  const std::string texts[] = {
      kArrow,
      // A hot spot in the header, comments and blanks between the strings.
      "/* XPM */\nstatic char *x[] = {\n\"2 2 2 1 0 1\",\n/* a */ \"a c #0000FF\", \"b c #FFFF00\",\n\"ab\",\n\"ba\"};\n",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    const QImage expected = FromQtReader(text);
    ASSERT_FALSE(expected.isNull());
    const QImage image = ImageFromXpmText(text);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), expected.size());
    EXPECT_EQ(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
  }
  const QImage arrow = ImageFromXpmText(kArrow);
  EXPECT_EQ(arrow.size(), QSize(5, 3));
  EXPECT_EQ(arrow.pixel(0, 0), qRgba(0, 0, 0, 0));  // None: transparent
  EXPECT_EQ(arrow.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(arrow.pixel(2, 1), qRgb(0, 255, 0));
  EXPECT_EQ(arrow.pixel(2, 2), qRgb(0, 255, 0));
}

TEST(XpmImage, ShortOrBrokenTextsGiveNoPicture) {
  const char* const texts[] = {
      "",
      "/* XPM */ static char* x[] = { };",
      // The header announces more lines than there are.
      "\"2 2 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\"",
      "\"2 3 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      "\"2 2 200000 1\", \"a c #0000FF\", \"ab\", \"ba\"",
      "\"2 2147483647 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      // No usable header.
      "\"2 2 2\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      "\"two 2 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      "\"0 2 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      "\"2 2 -1 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba\"",
      // The last string never ends: it is not a line.
      "\"2 2 2 1\", \"a c #0000FF\", \"b c #FFFF00\", \"ab\", \"ba",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(ImageFromXpmText(text).isNull());
  }
}

}  // namespace
