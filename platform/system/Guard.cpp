// The guard: hardware faults in a guarded call jump back to the guard through
// a signal handler on an alternate stack; C++ exceptions are caught. A fault
// outside any guard goes to the handler that was there before ours (the
// default one: a real crash stays a crash). A call that outlives the time
// limit is interrupted by the watchdog's signal, which jumps back likewise.
#include "platform/system/Guard.h"

#include <pthread.h>
#include <setjmp.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace guard {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
struct sigaction previous[sizeof kSignals / sizeof kSignals[0]];

std::atomic<long long> limitMs{10'000};

thread_local sigjmp_buf* active = nullptr;
thread_local bool stackReady = false;
thread_local bool lastTimedOut = false;
std::atomic<bool> anyStopped{false};  // a call anywhere in the process ran out of time

// The watch over one thread's outermost guarded call.
struct Watch {
  pthread_t thread{};
  Clock::time_point deadline{};
  std::atomic<int> expired{0};  // set by the watchdog, read by the handler
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the flag");

// The watch of the call this thread is inside, while the call's body runs:
// the timeout handler jumps only then (never while the watch is being armed
// or disarmed, which takes a lock).
thread_local Watch* volatile watched = nullptr;
// Only the outermost guarded call of a thread is watched, so one watch per
// thread is enough.
thread_local Watch threadWatch;

int TimeoutSignal() { return SIGRTMIN + 3; }

// One thread for the whole process, started on first use and never ended;
// its state is never destroyed, so it may outlive static destruction.
class Watchdog {
 public:
  static Watchdog& Instance() {
    static Watchdog* const dog = new Watchdog;
    return *dog;
  }

  // Not inlined into the guard, whose locals must not live across its jump.
  [[gnu::noinline]] void Arm(Watch* watch, Clock::duration limit) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) {
      std::thread([this] { Run(); }).detach();
      started_ = true;
    }
    watch->thread = pthread_self();
    watch->deadline = Clock::now() + limit;
    watch->expired.store(0);
    watches_.push_back(watch);
    wake_.notify_one();
  }

  [[gnu::noinline]] void Disarm(Watch* watch) {
    std::lock_guard<std::mutex> lock(mutex_);
    watches_.erase(std::remove(watches_.begin(), watches_.end(), watch), watches_.end());
    watch->expired.store(0);
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      Watch* next = nullptr;
      for (Watch* w : watches_) {
        if (w->expired.load() == 0 && (next == nullptr || w->deadline < next->deadline)) next = w;
      }
      if (next == nullptr) {
        wake_.wait(lock);
      } else if (Clock::now() < next->deadline) {
        wake_.wait_until(lock, next->deadline);
      } else {
        next->expired.store(1);
        pthread_kill(next->thread, TimeoutSignal());
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Watch*> watches_;
  bool started_ = false;
};

void OnFault(int signal, siginfo_t*, void*) {
  if (sigjmp_buf* jump = active) siglongjmp(*jump, 1);
  // No guard: put the earlier handler back and deliver the signal to it once
  // this handler returns (a faulting instruction also simply faults again).
  for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
    if (kSignals[i] == signal) sigaction(signal, &previous[i], nullptr);
  }
  raise(signal);
}

// A signal that comes after the call ended (or was meant for a call that
// ended) is ignored.
void OnTimeout(int, siginfo_t*, void*) {
  Watch* watch = watched;
  sigjmp_buf* jump = active;
  if (watch != nullptr && jump != nullptr && watch->expired.load() != 0) siglongjmp(*jump, 1);
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
    struct sigaction timeout = {};
    timeout.sa_sigaction = OnTimeout;
    timeout.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&timeout.sa_mask);
    sigaction(TimeoutSignal(), &timeout, nullptr);
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

void SetTimeLimit(std::chrono::milliseconds limit) { limitMs.store(limit.count()); }
std::chrono::milliseconds TimeLimit() { return std::chrono::milliseconds(limitMs.load()); }
bool LastTimedOut() { return lastTimedOut; }
bool AnyCallStopped() { return anyStopped.load(); }

void EndProcess(int code) {
  if (!anyStopped.load()) std::exit(code);
  std::fflush(nullptr);
  std::_Exit(code);
}

namespace detail {

void NoCall() noexcept { lastTimedOut = false; }

bool RunGuarded(void (*body)(void*), void* context) noexcept {
  InstallHandlers();
  EnsureAltStack();
  lastTimedOut = false;
  // Only the outermost guarded call of a thread is watched; a call nested in
  // it shares its deadline.
  const long long limit = limitMs.load();
  Watch* const own = watched == nullptr && limit > 0 ? &threadWatch : nullptr;

  sigjmp_buf jump;
  sigjmp_buf* const outer = active;
  if (sigsetjmp(jump, 1) != 0) {
    if (own != nullptr) {
      watched = nullptr;
      lastTimedOut = own->expired.load() != 0;
      if (lastTimedOut) anyStopped.store(true);
      Watchdog::Instance().Disarm(own);
    } else if (Watch* shared = watched) {
      lastTimedOut = shared->expired.load() != 0;
    }
    active = outer;
    return false;
  }
  active = &jump;
  if (own != nullptr) {
    Watchdog::Instance().Arm(own, std::chrono::milliseconds(limit));
    watched = own;
  }
  bool finished = true;
  try {
    body(context);
  } catch (...) {
    finished = false;
  }
  if (own != nullptr) {
    watched = nullptr;
    Watchdog::Instance().Disarm(own);
  }
  active = outer;
  return finished;
}

}  // namespace detail
}  // namespace guard
