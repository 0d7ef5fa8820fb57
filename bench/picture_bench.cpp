// Times ShowPicture on a 12-megapixel JPEG through the product's imaging
// library against libjpeg-turbo decoding the same file alone (to BGRX), in
// the same run, alternating, and prints the medians, their ratio (goal: 1.25
// or less) and the peak memory of the process.
//
//   picture_bench <folder with ImgCom3.dll ... ImgTiff3.dll> [repetitions]
#include <sys/resource.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Forms.h"
#include "platform/system/Files.h"
#include "platform/system/Paths.h"
#include "platform/system/Root.h"
#include "setup_window/Frame.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::string MakeJpeg() {
  std::vector<unsigned char> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      unsigned char* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
      p[0] = static_cast<unsigned char>(x * 7 + y);
      p[1] = static_cast<unsigned char>((x ^ y) & 0xFF);
      p[2] = static_cast<unsigned char>(y * 3);
    }
  tjhandle tj = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  if (tjCompress2(tj, rgb.data(), kWidth, 0, kHeight, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0) != 0) {
    std::fprintf(stderr, "cannot make the JPEG: %s\n", tjGetErrorStr2(tj));
    std::exit(1);
  }
  std::string bytes(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(tj);
  return bytes;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <folder with the imaging modules> [repetitions]\n", argv[0]);
    return 2;
  }
  const fs::path modules = fs::absolute(argv[1]);
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

  // A private Windows-like root, so the bench touches nothing of the user's.
  char rootTemplate[] = "/tmp/picture-bench-XXXXXX";
  if (mkdtemp(rootTemplate) == nullptr) return 1;
  const fs::path root = rootTemplate;
  setenv("WINEPREFIX", (root / "prefix").c_str(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qt(argc, argv);

  const fs::path dist = root / "dist";
  fs::create_directories(dist);
  for (const char* name : {"ImgCom3.dll", "ImgScan3.dll", "ImgEtc3.dll", "ImgFile3.dll", "ImgDsp3.dll",
                           "ImgCut3.dll", "ImgTiff3.dll"})
    fs::copy_file(modules / name, dist / name, fs::copy_options::overwrite_existing);
  const std::string jpeg = MakeJpeg();
  std::ofstream(dist / "Image3.jpg", std::ios::binary).write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));

  const AnsiString distWin = paths::ToWindows(dist.string());
  SetExecutablePathForTesting(distWin + "\\Setup.exe");
  SetCurrentDir(distWin);

  auto form = std::make_unique<TFrameForm>(Application);
  form->DoCreate();
  form->Panel2->SetWidth(1200);
  form->Panel2->SetHeight(900);

  // Warm both up once (page cache, library code).
  form->ShowPicture("Image3.jpg");
  if (form->Image1->Picture()->Bitmap()->Width() != kWidth) {
    std::fprintf(stderr, "ShowPicture did not decode the picture through the library\n");
    return 1;
  }
  tjhandle tj = tjInitDecompress();
  std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  auto decodeAlone = [&] {
    // Read from the file as ShowPicture does, then decode.
    std::ifstream in(dist / "Image3.jpg", std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (tjDecompress2(tj, reinterpret_cast<const unsigned char*>(data.data()), data.size(), pixels.data(), kWidth,
                      0, kHeight, TJPF_BGRX, 0) != 0) {
      std::fprintf(stderr, "turbojpeg failed: %s\n", tjGetErrorStr2(tj));
      std::exit(1);
    }
  };
  decodeAlone();

  std::vector<double> show;
  std::vector<double> alone;
  for (int i = 0; i < repetitions; ++i) {
    auto t0 = Clock::now();
    form->ShowPicture("Image3.jpg");
    auto t1 = Clock::now();
    decodeAlone();
    auto t2 = Clock::now();
    show.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    alone.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  tjDestroy(tj);

  const double showMs = Median(show);
  const double aloneMs = Median(alone);
  std::printf("picture_bench: %d x %d JPEG (%zu bytes), %d repetitions\n", kWidth, kHeight, jpeg.size(),
              repetitions);
  std::printf("  ShowPicture through the imaging library: median %.1f ms\n", showMs);
  std::printf("  libjpeg-turbo alone (tjDecompress2, BGRX): median %.1f ms\n", aloneMs);
  std::printf("  ratio %.2f (goal 1.25 or less)\n", showMs / aloneMs);
  std::printf("  peak memory %.0f MB\n", PeakMegabytes());

  form->DoDestroy();
  form.reset();
  SetExecutablePathForTesting("");
  fs::remove_all(root);
  return 0;
}
