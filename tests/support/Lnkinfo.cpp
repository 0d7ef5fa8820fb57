#include "tests/support/Lnkinfo.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <vector>

extern char** environ;

LnkinfoRun RunLnkinfo(const std::string& hostPath, const char* codepage) {
  LnkinfoRun run;
  std::vector<std::string> args = {LNKINFO_PATH};
  if (codepage != nullptr) args.insert(args.end(), {"-c", codepage});
  args.push_back(hostPath);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe(fds) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc == 0) {
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) run.output.append(buffer, static_cast<size_t>(n));
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  } else {
    run.output = "cannot run " + args[0];
  }
  close(fds[0]);
  return run;
}

std::optional<std::string> LnkinfoField(const std::string& report, const std::string& name) {
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t start = line.find_first_not_of("\t ");
    const size_t colon = line.find(": ");
    if (start == std::string::npos || colon == std::string::npos || colon < start + name.size() ||
        line.compare(start, name.size(), name) != 0) {
      continue;
    }
    return line.substr(colon + 2);
  }
  return std::nullopt;
}
