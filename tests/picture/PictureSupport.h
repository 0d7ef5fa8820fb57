// Shared pieces of the picture tests: an installer folder under a temporary
// root, the form made in it, the fixtures' reports and picture files made on
// the fly.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "setup_window/Frame.h"
#include "tests/support/TempRoot.h"

namespace picture_test {

// What a fixture module reported, in order.
struct Event {
  std::string module;
  std::string event;
  long value;
};
const std::vector<Event>& Events();
void ClearEvents();
// "module:event" of every report, in order, leaving out load and unload.
std::vector<std::string> Calls();
// How many reports of `event` (from any module) there were.
int CountOf(const std::string& event);

// The installer's folder C:\dist (the executable is C:\dist\Setup.exe) and a
// separate current folder C:\work, under a temporary root.
class Installer {
 public:
  Installer();
  ~Installer();
  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;

  TempRoot& Root() { return root_; }
  // Host path of a file in the installer's folder / the current folder.
  std::string InDist(const std::string& name) const;
  std::string InWork(const std::string& name) const;

  // Copies a built module into the installer's folder under `name`.
  void AddModule(const std::string& builtPath, const std::string& name) const;
  // The seven stand-in library modules, without the ones named in `leaveOut`
  // (file names as shipped, e.g. "ImgDsp3.dll"); `com`/`dsp`/`file` choose
  // variants.
  void AddFakeLibrary(const std::vector<std::string>& leaveOut = {}, const std::string& com = "",
                      const std::string& dsp = "", const std::string& file = "") const;
  // The product's real seven modules.
  void AddRealLibrary() const;
  void WriteDist(const std::string& name, const std::string& bytes) const;
  void WriteWork(const std::string& name, const std::string& bytes) const;

  // Makes the form (its creation lists the plug-ins and binds the library
  // from C:\dist) and destroys it again when the Installer goes.
  TFrameForm& MakeForm();
  TFrameForm& Form() { return *form_; }
  // Destroys the form now (the library is released).
  void DestroyForm();

 private:
  TempRoot root_;
  std::unique_ptr<TFrameForm> form_;
};

// Picture files made in memory.
std::string MakeJpeg(int width, int height);            // a real baseline JPEG
std::string MakeGif(int width, int height);             // a real GIF, 2 colours
std::string MakeBmp(int width, int height);             // a 24-bit Windows bitmap
std::string FakeLibraryPicture(int width, int height);  // the stand-in library's format

// The colour of the target bitmap at (x, y), as 0xRRGGBB.
unsigned PixelAt(TBitmap* bitmap, int x, int y);

}  // namespace picture_test
