// ShowPicture: decodes a picture file into Image1's bitmap (bitmap class,
// imaging library or image plug-ins, the first way chosen by the name) and
// fits and centres Image1 in Panel2. Nothing is reported: a picture that
// cannot be decoded simply does not appear.
#include <cstdint>
#include <memory>

#include "picture/Fitting.h"
#include "picture/ImageLibrary.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "platform/system/Guard.h"
#include "platform/text/Text.h"
#include "setup_window/Frame.h"
#include "setup_window/WorkingFolder.h"

static_assert(sizeof(ImgKitFileInfo) == 24, "the library's file record is 24 bytes");

namespace {

enum class FirstWay { Bitmap, Library, None };

FirstWay ChooseFirstWay(const AnsiString& fileName) {
  if (Pos(".bmp", fileName) != 0 || Pos(".BMP", fileName) != 0) return FirstWay::Bitmap;
  if (Pos(".gif", fileName) == 0 && Pos(".GIF", fileName) == 0) return FirstWay::Library;
  return FirstWay::None;
}

// Loads a Windows bitmap file and copies it unscaled into the target.
bool LoadByBitmapClass(const AnsiString& fileName, TBitmap* target) {
  auto temporary = std::make_unique<TBitmap>();
  bool loaded = true;
  try {
    temporary->LoadFromFile(fileName);
  } catch (...) {
    loaded = false;
  }
  if (loaded) {
    // Errors here are not the file's fault: they pass to the caller.
    target->SetWidth(temporary->Width());
    target->SetHeight(temporary->Height());
    target->Canvas()->StretchDraw(Rect(0, 0, temporary->Width(), temporary->Height()), temporary.get());
  }
  return loaded;
}

// Calls an entry point of the library under the guard, unless the library is
// stopped; a call that runs out of time stops it.
template <class Fn, class... Args>
int32_t CallLibrary(Fn fn, Args... args) {
  if (imagelibrary::Stopped()) return 0;
  const int32_t result = guard::Call<int32_t>(0, fn, args...);
  if (guard::LastTimedOut()) imagelibrary::Stop();
  return result;
}

// Decodes through the imaging library, drawing into Image1's canvas.
bool LoadByImageLibrary(const AnsiString& fileName, TImage* image, TBitmap* target) {
  using namespace imagelibrary;
  const char* name = fileName.c_str();

  ImgKitFileInfo record{};
  if (CallLibrary(ImgKitFileType, name, static_cast<void*>(&record)) == 0) return false;

  const int32_t handle = CallLibrary(ImgKitFileLoad, name, "", "");
  if (handle == 0) return false;

  // Sizes, drawing and giving the image back, guarded as one: the first error
  // skips the rest. The body holds nothing that needs unwinding, since a
  // fault in a library call leaves it by a jump.
  bool givenBack = false;
  const bool ran = guard::Run([&] {
    image->SetWidth(record.width);
    image->SetHeight(record.height);
    target->SetWidth(record.width);
    target->SetHeight(record.height);
    HDC dc = image->Canvas()->Handle();
    if (ImgKitDisplayHdc == nullptr) return;
    ImgKitDisplayHdc(dc, handle, record.width, record.height, 0);
    if (ImgKitMemFree == nullptr) return;
    givenBack = true;  // set before the call: a failing free is not repeated
    ImgKitMemFree(handle);
  });
  if (ran && givenBack) return true;
  // Running out of time there stops the library: the image is then not given
  // back either.
  if (!ran && guard::LastTimedOut()) Stop();

  if (!givenBack) CallLibrary(ImgKitMemFree, handle);
  return false;
}

}  // namespace

void TFrameForm::ShowPicture(const AnsiString& fileName) {
  TBitmap* target = Image1->Picture()->Bitmap();
  bool shown = false;

  switch (ChooseFirstWay(fileName)) {
    case FirstWay::Bitmap:
      shown = LoadByBitmapClass(fileName, target);
      break;
    case FirstWay::Library:
      shown = LoadByImageLibrary(fileName, Image1, target);
      break;
    case FirstWay::None:
      break;
  }

  if (!shown) WithInstallerFolder([&] { shown = LoadPictureByPlugin(fileName, target); });
  if (!shown) return;

  const picture::Placement place = picture::FitPicture(target->Width(), target->Height(), Panel2->Width(),
                                                       Panel2->Height());
  Image1->SetWidth(place.width);
  Image1->SetHeight(place.height);
  Image1->SetLeft(place.left);
  Image1->SetTop(place.top);
}
