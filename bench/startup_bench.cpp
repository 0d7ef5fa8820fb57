// Times the start of the real setup window, from process start to its first
// painted frame, against a minimal Qt window (a QWidget shown maximised) on
// the same platform. Both run as child processes of this program, started the
// same way and alternating; each child reports its first QEvent::Paint on its
// standard output and then ends. Prints the medians, their ratio (goal: 1.5
// or less) and the peak memory of each kind of child (ru_maxrss via wait4).
//
//   startup_bench <assembled distribution folder> [repetitions]
//
// The setup child runs the program's own entry steps (Initialize, which makes
// the application object as in Setup, CreateForm, Run) in process, counting
// as dist/Setup, in a fresh Windows-like root.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Forms.h"
#include "platform/system/Files.h"
#include "platform/system/Paths.h"
#include "setup_window/Frame.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Reports the first paint of a widget on stdout, then has `quit` run.
class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget* widget, std::function<void()> quit) : quit_(std::move(quit)) { widget->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      const char byte = 'P';
      if (write(STDOUT_FILENO, &byte, 1) != 1) std::_Exit(3);
      QTimer::singleShot(0, quit_);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> quit_;
  bool seen_ = false;
};

// As Setup starts: Initialize makes the application object itself.
int SetupChild(const char* dist) {
  SetExecutablePathForTesting(paths::ToWindows(fs::absolute(dist).string()) + "\\Setup");
  std::unique_ptr<FirstPaint> watch;
  Application->Initialize();
  Application->CreateForm(FrameForm);
  watch = std::make_unique<FirstPaint>(FrameForm->Widget(), [] { FrameForm->Close(); });
  Application->Run();
  Application->DestroyForms();
  return 0;
}

int PlainChild(int argc, char** argv) {
  QApplication qt(argc, argv);
  QWidget window;
  FirstPaint watch(&window, [] { QApplication::quit(); });
  window.showMaximized();
  return QApplication::exec();
}

struct Sample {
  double ms = 0;
  long maxrssKb = 0;
};

// Starts this program as a child of the given kind; times it to its first
// paint and waits for its end.
Sample RunChild(const std::string& self, const std::string& kind, const std::string& dist, const fs::path& prefix) {
  int fds[2];
  if (pipe(fds) != 0) std::exit(1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  setenv("WINEPREFIX", prefix.c_str(), 1);  // fresh for each child: made on first use
  std::vector<std::string> args = {self, "--child", kind, dist};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  const Clock::time_point start = Clock::now();
  if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);

  Sample sample;
  pollfd wait{fds[0], POLLIN, 0};
  char byte = 0;
  if (poll(&wait, 1, 60000) == 1 && read(fds[0], &byte, 1) == 1 && byte == 'P') {
    sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  } else {
    std::fprintf(stderr, "the %s child painted nothing\n", kind.c_str());
    kill(pid, SIGKILL);
  }
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "the %s child ended badly (status %d)\n", kind.c_str(), status);
    std::exit(1);
  }
  if (sample.ms == 0) std::exit(1);
  sample.maxrssKb = usage.ru_maxrss;
  return sample;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 == 1 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--child") == 0) {
    return std::strcmp(argv[2], "setup") == 0 ? SetupChild(argv[3]) : PlainChild(argc, argv);
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <assembled distribution folder> [repetitions]\n", argv[0]);
    return 2;
  }
  const std::string dist = fs::absolute(argv[1]).string();
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  if (!fs::is_regular_file(fs::path(dist) / "Setup")) {
    std::fprintf(stderr, "no Setup in %s\n", dist.c_str());
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string self = fs::canonical("/proc/self/exe").string();

  char rootTemplate[] = "/tmp/startup-bench-XXXXXX";
  if (mkdtemp(rootTemplate) == nullptr) return 1;
  const fs::path root = rootTemplate;

  std::vector<double> setup, plain;
  long setupRss = 0, plainRss = 0;
  // One of each first, not timed: the page cache and the font cache.
  RunChild(self, "setup", dist, root / "warm");
  RunChild(self, "plain", dist, root / "warm");
  for (int i = 0; i < repetitions; ++i) {
    const Sample s = RunChild(self, "setup", dist, root / ("prefix" + std::to_string(i)));
    const Sample p = RunChild(self, "plain", dist, root / ("plain" + std::to_string(i)));
    setup.push_back(s.ms);
    plain.push_back(p.ms);
    setupRss = std::max(setupRss, s.maxrssKb);
    plainRss = std::max(plainRss, p.maxrssKb);
  }
  fs::remove_all(root);

  const double setupMs = Median(setup);
  const double plainMs = Median(plain);
  std::printf("startup_bench: start to first painted frame, offscreen platform, %d repetitions\n", repetitions);
  std::printf("  setup window (entry steps, fresh root): median %.1f ms, peak memory %.0f MB\n", setupMs,
              static_cast<double>(setupRss) / 1024.0);
  std::printf("  minimal Qt window (QWidget, maximised): median %.1f ms, peak memory %.0f MB\n", plainMs,
              static_cast<double>(plainRss) / 1024.0);
  std::printf("  ratio %.2f (goal 1.5 or less)\n", setupMs / plainMs);
  return 0;
}
