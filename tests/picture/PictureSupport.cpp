#include "tests/picture/PictureSupport.h"

#include <gif_lib.h>
#include <turbojpeg.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/gui/Forms.h"
#include "platform/system/Files.h"

namespace picture_test {
namespace {
// Never destroyed: a module still loaded at exit (one whose call ran out of
// time is never unloaded) reports its unloading after static destruction.
std::vector<Event>& Log() {
  static auto* const log = new std::vector<Event>;
  return *log;
}
}  // namespace
}  // namespace picture_test

// The fixtures call this through their weak reference.
extern "C" __attribute__((visibility("default"))) void PictureFixtureReport(const char* module, const char* event,
                                                                            long value) {
  picture_test::Log().push_back({module, event, value});
}

namespace picture_test {

const std::vector<Event>& Events() { return Log(); }
void ClearEvents() { Log().clear(); }

std::vector<std::string> Calls() {
  std::vector<std::string> calls;
  for (const Event& e : Log())
    if (e.event != "load" && e.event != "unload") calls.push_back(e.module + ":" + e.event);
  return calls;
}

int CountOf(const std::string& event) {
  int n = 0;
  for (const Event& e : Log()) n += e.event == event ? 1 : 0;
  return n;
}

namespace {

void WriteBytes(const std::string& hostPath, const std::string& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + hostPath);
}

}  // namespace

Installer::Installer() {
  root_.MakeFolder("C:\\dist");
  root_.MakeFolder("C:\\work");
  SetExecutablePathForTesting("C:\\dist\\Setup.exe");
  SetCurrentDir("C:\\work");
  ClearEvents();
}

Installer::~Installer() {
  DestroyForm();
  SetExecutablePathForTesting("");
  ClearEvents();
}

std::string Installer::InDist(const std::string& name) const { return root_.Host("C:\\dist\\" + name); }
std::string Installer::InWork(const std::string& name) const { return root_.Host("C:\\work\\" + name); }

void Installer::AddModule(const std::string& builtPath, const std::string& name) const {
  std::filesystem::copy_file(builtPath, InDist(name), std::filesystem::copy_options::overwrite_existing);
}

void Installer::AddFakeLibrary(const std::vector<std::string>& leaveOut, const std::string& com,
                               const std::string& dsp, const std::string& file) const {
  const struct {
    const char* name;
    std::string path;
  } modules[] = {{"ImgCom3.dll", com.empty() ? FIXTURE_IMGKIT_COM_PATH : com},
                 {"ImgScan3.dll", FIXTURE_IMGKIT_SCAN_PATH},
                 {"ImgEtc3.dll", FIXTURE_IMGKIT_ETC_PATH},
                 {"ImgFile3.dll", file.empty() ? FIXTURE_IMGKIT_FILE_PATH : file},
                 {"ImgDsp3.dll", dsp.empty() ? FIXTURE_IMGKIT_DSP_PATH : dsp},
                 {"ImgCut3.dll", FIXTURE_IMGKIT_CUT_PATH},
                 {"ImgTiff3.dll", FIXTURE_IMGKIT_TIFF_PATH}};
  for (const auto& m : modules) {
    bool skip = false;
    for (const std::string& l : leaveOut) skip = skip || l == m.name;
    if (!skip) AddModule(m.path, m.name);
  }
}

void Installer::AddRealLibrary() const {
  for (const char* path : {IMGCOM3_PATH, IMGSCAN3_PATH, IMGETC3_PATH, IMGFILE3_PATH, IMGDSP3_PATH, IMGCUT3_PATH,
                           IMGTIFF3_PATH})
    AddModule(path, std::filesystem::path(path).filename().string());
}

void Installer::WriteDist(const std::string& name, const std::string& bytes) const { WriteBytes(InDist(name), bytes); }
void Installer::WriteWork(const std::string& name, const std::string& bytes) const { WriteBytes(InWork(name), bytes); }

TFrameForm& Installer::MakeForm() {
  DestroyForm();
  // Made as the application object makes it (construction, then creation),
  // without a window: the tests call FormResize themselves.
  form_ = std::make_unique<TFrameForm>(Application);
  form_->DoCreate();
  return *form_;
}

void Installer::DestroyForm() {
  if (!form_) return;
  form_->DoDestroy();
  form_.reset();
}

std::string MakeJpeg(int width, int height) {
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
      p[0] = static_cast<unsigned char>(x * 255 / (width > 1 ? width - 1 : 1));
      p[1] = static_cast<unsigned char>(y * 255 / (height > 1 ? height - 1 : 1));
      p[2] = 96;
    }
  tjhandle tj = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(tj, rgb.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
  std::string bytes = rc == 0 ? std::string(reinterpret_cast<char*>(jpeg), size) : std::string();
  tjFree(jpeg);
  tjDestroy(tj);
  if (bytes.empty()) throw std::runtime_error("cannot make a JPEG");
  return bytes;
}

namespace {
int AppendToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return length;
}
}  // namespace

std::string MakeGif(int width, int height) {
  std::string bytes;
  int error = 0;
  GifFileType* gif = EGifOpen(&bytes, AppendToString, &error);
  if (gif == nullptr) throw std::runtime_error("cannot make a GIF");
  const GifColorType colours[2] = {{255, 0, 0}, {0, 0, 255}};
  ColorMapObject* map = GifMakeMapObject(2, colours);
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, width, height, 1, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
  std::vector<GifPixelType> line(static_cast<size_t>(width));
  for (int y = 0; ok && y < height; ++y) {
    // Left half red, right half blue.
    for (int x = 0; x < width; ++x) line[static_cast<size_t>(x)] = x < width / 2 ? 0 : 1;
    ok = EGifPutLine(gif, line.data(), width) == GIF_OK;
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  if (!ok) throw std::runtime_error("cannot make a GIF");
  return bytes;
}

std::string MakeBmp(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
  std::string b;
  auto put16 = [&](uint32_t v) { b.push_back(char(v & 0xFF)), b.push_back(char((v >> 8) & 0xFF)); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  b += "BM";
  put32(14 + 40 + pixelBytes);
  put32(0);
  put32(14 + 40);
  put32(40);
  put32(static_cast<uint32_t>(width));
  put32(static_cast<uint32_t>(height));
  put16(1);
  put16(24);
  put32(0);
  put32(pixelBytes);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  for (int row = 0; row < height; ++row) {  // bottom-up: the last row first
    for (int x = 0; x < width; ++x) {
      b.push_back(char(0x30));  // blue
      b.push_back(char(0x90));  // green
      b.push_back(char(0xF0));  // red
    }
    b.append(static_cast<size_t>(stride - width * 3), '\0');
  }
  return b;
}

std::string FakeLibraryPicture(int width, int height) {
  return "FAKEIMG " + std::to_string(width) + " " + std::to_string(height) + "\n";
}

unsigned PixelAt(TBitmap* bitmap, int x, int y) { return bitmap->Image().pixel(x, y) & 0xFFFFFFu; }

}  // namespace picture_test
