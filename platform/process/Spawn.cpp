#include "platform/process/Spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <string>
#include <vector>

#include "platform/process/ProgramSearch.h"
#include "platform/system/Fault.h"

namespace {

// What the two forked processes tell the caller through the pipe: a tag
// ('P': the started process's id; 'E': an errno) and its value.
using Report = int[2];

// Async-signal-safe: used between fork and exec.
void Send(int fd, char tag, int value) {
  const Report r = {tag, value};
  ssize_t n;
  do {
    n = ::write(fd, r, sizeof r);
  } while (n < 0 && errno == EINTR);
}

int ErrnoFromWin32(uint32_t error) {
  switch (error) {
    case 2:
    case 3: return ENOENT;
    case 8: return ENOMEM;
    default: return EACCES;
  }
}

// Starts `path` with `argv` as a grandchild: the child forks it and exits at
// once, the caller reaps the child, and the grandchild, orphaned, belongs to
// the system from then on. Everything is prepared before the first fork;
// between fork and exec only async-signal-safe calls are made.
intptr_t Launch(const std::string& path, const std::vector<const char*>& argv) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  sigset_t noSignals;
  sigemptyset(&noSignals);
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  const char* file = path.c_str();
  char* const* args = const_cast<char* const*>(argv.data());

  const pid_t child = ::fork();
  if (child < 0) {
    const int e = errno;
    ::close(fds[0]);
    ::close(fds[1]);
    errno = e;
    return -1;
  }
  if (child == 0) {
    ::close(fds[0]);
    const pid_t grandchild = ::_Fork();
    if (grandchild < 0) {
      Send(fds[1], 'E', errno);
      ::_exit(1);
    }
    if (grandchild == 0) {
      ::setsid();  // its own session: the installer's terminal signals do not reach it
      for (int sig = 1; sig < NSIG; ++sig) ::sigaction(sig, &byDefault, nullptr);
      ::sigprocmask(SIG_SETMASK, &noSignals, nullptr);
      ::execv(file, args);
      Send(fds[1], 'E', errno);
      ::_exit(127);
    }
    Send(fds[1], 'P', grandchild);
    ::_exit(0);
  }

  ::close(fds[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes when the grandchild has exec'd (close-on-exec) or died.
  pid_t started = -1;
  int failure = 0;
  Report r = {};
  for (;;) {
    const ssize_t n = ::read(fds[0], r, sizeof r);
    if (n < 0 && errno == EINTR) continue;
    if (n != static_cast<ssize_t>(sizeof r)) break;
    if (r[0] == 'P') started = r[1];
    if (r[0] == 'E') failure = r[1];
  }
  ::close(fds[0]);
  if (failure != 0 || started <= 0) {
    errno = failure != 0 ? failure : ECHILD;
    return -1;
  }
  return started;
}

}  // namespace

intptr_t spawnvp(int mode, const char* name, const char* const* argv) {
  if (mode != P_NOWAIT || name == nullptr || argv == nullptr || argv[0] == nullptr) {
    errno = EINVAL;
    return -1;
  }
  if (auto rule = fault::Check("spawnlp", name)) {
    errno = ErrnoFromWin32(rule->error);
    return -1;
  }
  std::vector<const char*> args;
  for (const char* const* a = argv; *a != nullptr; ++a) args.push_back(*a);
  args.push_back(nullptr);

  if (auto program = process::FindProgram(name)) return Launch(*program, args);

  if (::strcasecmp(name, "NOTEPAD.EXE") == 0) {
    // No Notepad here: the desktop's viewer opens the same file.
    for (const std::string& folder : process::SearchPath()) {
      if (auto viewer = process::FindInFolder(folder, "xdg-open")) {
        args.front() = "xdg-open";
        return Launch(*viewer, args);
      }
    }
  }
  errno = ENOENT;
  return -1;
}

intptr_t spawnlp(int mode, const char* name, const char* arg0, ...) {
  std::vector<const char*> argv{arg0};
  if (arg0 != nullptr) {
    va_list ap;
    va_start(ap, arg0);
    while (const char* a = va_arg(ap, const char*)) argv.push_back(a);
    va_end(ap);
  }
  argv.push_back(nullptr);
  return spawnvp(mode, name, argv.data());
}
