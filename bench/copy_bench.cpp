// Times CopyProductFiles on a distribution of more than 200 MiB (a few large
// files and many small plug-ins) against `cp` of the same files into a fresh
// folder, in the same run, alternating, and prints the medians, their ratio
// (goal: 1.05 or less), the CPU time each took, and the peak memory. On a
// loaded machine the wall times scatter; the CPU times much less.
//
//   copy_bench [repetitions]
//
// Everything happens in a private Windows-like root under /tmp, removed at
// the end. Sources stay in the page cache after the first, untimed round;
// each copy is removed and synced away before the next one is timed.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/system/Files.h"
#include "platform/system/Paths.h"
#include "platform/system/Root.h"
#include "setup_window/Frame.h"
#include "setup_window/WorkingFolder.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kMiB = size_t{1} << 20;

// The copy shows no box; should one come, it is answered with its escape
// button and the run is reported as broken.
class NoBoxes : public DialogHost {
 public:
  int ShowBox(const BoxRequest& request) override {
    ++shown;
    const auto at = static_cast<size_t>(request.escapeButton);
    return at < request.results.size() ? request.results[at] : mrCancel;
  }
  std::optional<AnsiString> BrowseForFolder(const AnsiString&, void*) override {
    ++shown;
    return std::nullopt;
  }
  int shown = 0;
};

struct DistFile {
  std::string name;
  size_t size;
  bool program;  // copied into DEST, else into DEST\System
};

std::vector<DistFile> Distribution() {
  std::vector<DistFile> files = {{"Corvan.exe", 64 * kMiB, true}};
  for (const char* name : {"Kx.txt", "Kxopr.txt", "Kxtec.txt", "Readme.txt"}) files.push_back({name, 64 * 1024, true});
  for (int day = 0; day < 7; ++day) files.push_back({"Image" + std::to_string(day) + ".jpg", 3 * kMiB, true});
  for (const char* name :
       {"ImgCom3.dll", "ImgCut3.dll", "ImgDsp3.dll", "ImgEtc3.dll", "ImgFile3.dll", "ImgScan3.dll", "ImgTiff3.dll"}) {
    files.push_back({name, 6 * kMiB, false});
  }
  for (int i = 0; i < 3; ++i) files.push_back({"Large" + std::to_string(i) + ".spi", 24 * kMiB, false});
  for (int i = 0; i < 300; ++i) files.push_back({"Small" + std::to_string(i) + ".spi", 48 * 1024, false});
  return files;
}

void WriteRandom(const fs::path& path, size_t size, uint64_t seed) {
  std::mt19937_64 random(seed);
  std::vector<uint64_t> block(kMiB / sizeof(uint64_t));
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  while (size > 0) {
    for (uint64_t& word : block) word = random();
    const size_t n = std::min(size, kMiB);
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(n));
    size -= n;
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// CPU time (user + system) in milliseconds of this process or of its
// finished children.
double CpuMs(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The reference: cp of the same files, program files into the folder, the
// rest into its System subfolder, keeping times as CopyFileA does.
bool CopyWithCp(const fs::path& dist, const std::vector<DistFile>& files, const fs::path& dest) {
  std::vector<std::string> program = {"cp", "--preserve=timestamps"};
  std::vector<std::string> system = program;
  for (const DistFile& f : files) (f.program ? program : system).push_back((dist / f.name).string());
  program.push_back(dest.string() + "/");
  system.push_back((dest / "System").string() + "/");
  return Run(program) && Run(system);
}

void MakeTree(const fs::path& dest) {
  fs::create_directories(dest / "System");
  fs::create_directories(dest / "Temp");
}

void Discard(const fs::path& dest) {
  fs::remove_all(dest);
  sync();
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;

  char rootTemplate[] = "/tmp/copy-bench-XXXXXX";
  if (mkdtemp(rootTemplate) == nullptr) return 1;
  const fs::path root = rootTemplate;
  setenv("WINEPREFIX", (root / "prefix").c_str(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication qt(argc, argv);
  NoBoxes noBoxes;
  SetDialogHost(&noBoxes);

  const fs::path driveC = WinRoot::Instance().Drives().at('C');
  const fs::path dist = driveC / "dist";
  fs::create_directories(dist);
  const std::vector<DistFile> files = Distribution();
  size_t total = 0;
  uint64_t seed = 1;
  for (const DistFile& f : files) {
    WriteRandom(dist / f.name, f.size, seed++);
    total += f.size;
  }
  if (total < 200 * kMiB) {
    std::fprintf(stderr, "the distribution is too small: %zu bytes\n", total);
    return 1;
  }

  SetExecutablePathForTesting(paths::ToWindows(dist.string()) + "\\Setup.exe");
  Application->CreateForm(FrameForm);
  TFrameForm* form = FrameForm;
  const size_t plugins = files.size() - 12 - 7;
  if (form->PluginCount != static_cast<int32_t>(plugins)) {
    std::fprintf(stderr, "the plug-in list holds %d files, not %zu\n", form->PluginCount, plugins);
    return 1;
  }

  const AnsiString prefix = "copying ==> ";
  auto copyOurs = [&](const fs::path& dest) {
    form->Edit1->SetText(paths::ToWindows(dest.string()));
    form->Panel5->SetCaption(prefix);
    bool copied = false;
    WithInstallerFolder([&] { copied = form->CopyProductFiles(); });
    return copied;
  };

  // One untimed round of each: sources into the page cache, code warmed up.
  int round = 0;
  auto next = [&](const char* who) { return driveC / (std::string(who) + std::to_string(round++)); };
  for (bool ours : {true, false}) {
    const fs::path dest = next("warm");
    MakeTree(dest);
    if (!(ours ? copyOurs(dest) : CopyWithCp(dist, files, dest))) {
      std::fprintf(stderr, "the %s copy failed\n", ours ? "CopyProductFiles" : "cp");
      return 1;
    }
    Discard(dest);
  }

  std::vector<double> oursMs;
  std::vector<double> cpMs;
  std::vector<double> oursCpu;
  std::vector<double> cpCpu;
  for (int i = 0; i < repetitions; ++i) {
    for (int k = 0; k < 2; ++k) {
      const bool ours = (i + k) % 2 == 0;  // alternate who goes first
      const fs::path dest = next(ours ? "ours" : "cp");
      MakeTree(dest);
      const int who = ours ? RUSAGE_SELF : RUSAGE_CHILDREN;
      const double c0 = CpuMs(who);
      const auto t0 = Clock::now();
      const bool ok = ours ? copyOurs(dest) : CopyWithCp(dist, files, dest);
      const auto t1 = Clock::now();
      const double c1 = CpuMs(who);
      if (!ok) {
        std::fprintf(stderr, "the %s copy failed\n", ours ? "CopyProductFiles" : "cp");
        return 1;
      }
      (ours ? oursMs : cpMs).push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      (ours ? oursCpu : cpCpu).push_back(c1 - c0);
      Discard(dest);
    }
  }

  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  const double ours = Median(oursMs);
  const double cp = Median(cpMs);
  std::printf("copy_bench: %zu files, %.1f MiB, %d repetitions\n", files.size(), static_cast<double>(total) / kMiB,
              repetitions);
  std::printf("  CopyProductFiles: median %.1f ms (CPU %.1f ms)\n", ours, Median(oursCpu));
  std::printf("  cp --preserve=timestamps: median %.1f ms (CPU %.1f ms)\n", cp, Median(cpCpu));
  std::printf("  ratio %.3f (goal 1.05 or less); CPU time ratio %.3f\n", ours / cp, Median(oursCpu) / Median(cpCpu));
  std::printf("  peak memory of this process %.1f MiB\n", static_cast<double>(self.ru_maxrss) / 1024.0);
  if (noBoxes.shown != 0) std::printf("  warning: %d boxes were shown\n", noBoxes.shown);

  Application->DestroyForms();
  SetDialogHost(nullptr);
  SetExecutablePathForTesting("");
  fs::remove_all(root);
  return noBoxes.shown == 0 ? 0 : 1;
}
