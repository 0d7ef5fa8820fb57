// The guard: hardware faults in a guarded call jump back to the guard through
// a signal handler on an alternate stack; C++ exceptions are caught. A fault
// outside any guard goes to the handler that was there before ours (the
// default one: a real crash stays a crash).
#include "platform/system/Guard.h"

#include <setjmp.h>
#include <signal.h>

#include <cstdlib>
#include <mutex>

namespace guard::detail {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

thread_local sigjmp_buf* active = nullptr;
thread_local bool stackReady = false;

void OnFault(int signal, siginfo_t*, void*) {
  if (sigjmp_buf* jump = active) siglongjmp(*jump, 1);
  // No guard: put the earlier handler back and deliver the signal to it once
  // this handler returns (a faulting instruction also simply faults again).
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    if (kSignals[i] == signal) sigaction(signal, &previous[i], nullptr);
  }
  raise(signal);
}

void InstallHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action = {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
      sigaction(kSignals[i], &action, &previous[i]);
    }
  });
}

// The handler must run on a stack of its own: a fault may come from a
// stack that is exhausted. A thread that already has one keeps it.
void EnsureAltStack() {
  if (stackReady) return;
  stack_t current;
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) {
    stackReady = true;
    return;
  }
  constexpr size_t kSize = 64 * 1024;
  stack_t stack = {};
  stack.ss_sp = std::malloc(kSize);  // kept for the thread's life
  stack.ss_size = kSize;
  if (stack.ss_sp != nullptr && sigaltstack(&stack, nullptr) == 0) stackReady = true;
}

}  // namespace

bool RunGuarded(void (*body)(void*), void* context) noexcept {
  InstallHandlers();
  EnsureAltStack();
  sigjmp_buf jump;
  sigjmp_buf* const outer = active;
  if (sigsetjmp(jump, 1) != 0) {
    active = outer;
    return false;
  }
  active = &jump;
  try {
    body(context);
  } catch (...) {
    active = outer;
    return false;
  }
  active = outer;
  return true;
}

}  // namespace guard::detail
