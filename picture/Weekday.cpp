// FormResize: chooses the welcome picture by the name of the current weekday,
// lays the window out and shows the picture.
#include "picture/Weekday.h"

#include "platform/text/DateTime.h"
#include "platform/text/FixedText.h"
#include "setup_window/Frame.h"

namespace weekday {

AnsiString PictureNameFor(const AnsiString& weekdayText) {
  const struct {
    const char* text;
    const char* suffix;
  } table[] = {{"日曜", "0.jpg"}, {"月曜", "1.jpg"}, {"火曜", "2.jpg"}, {"水曜", "3.jpg"},
               {"木曜", "4.jpg"}, {"金曜", "5.jpg"}, {"土曜", "6.jpg"}};
  AnsiString name = "Image";
  for (const auto& entry : table) {
    if (Pos(TX(entry.text), weekdayText) != 0) {
      name += entry.suffix;
      break;
    }
  }
  return name;
}

}  // namespace weekday

void TFrameForm::FormResize(void* /*sender*/) {
  const AnsiString name = weekday::PictureNameFor(FormatDateTime("aaaa", Now()));
  ArrangePanels();
  ShowPicture(name);
}
