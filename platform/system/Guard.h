// Calls into loaded modules go through one guard: a C++ exception, a hardware
// fault inside the call (SIGSEGV, SIGBUS, SIGFPE, SIGILL) and a call of an
// entry point that was never resolved all end as the call's failure value.
//
// A guarded call that does not return within the time limit is abandoned the
// same way: a watchdog thread interrupts the calling thread with a signal
// whose handler jumps back to the guard, so a module that never returns
// cannot freeze the window for good. Such a module may have been stopped
// anywhere (a lock it took stays taken, what it was building is lost), so
// its caller must not call into it again. A thread that blocks every signal
// inside the call cannot be interrupted.
#pragma once

#include <chrono>
#include <tuple>
#include <type_traits>
#include <utility>

namespace guard {

namespace detail {
// Runs `body(context)` under the fault handler; returns false when a fault or
// an exception ended it.
bool RunGuarded(void (*body)(void*), void* context) noexcept;
// A call of a null entry point: no call, so no time ran out either.
void NoCall() noexcept;
}  // namespace detail

// The time limit of every guarded call (by default 10 seconds); zero means
// none. The tests shorten it.
void SetTimeLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds TimeLimit();

// True when the calling thread's last guarded call or run ended because its
// time ran out.
bool LastTimedOut();

// True once any guarded call of the process ran out of time.
bool AnyCallStopped();

// Ends the process with `code`. Once a call was stopped, its module is still
// loaded and may hold what it left half-done (a lock its finaliser waits
// for), so then no finaliser runs: the standard streams are flushed and the
// process ends at once. Otherwise the process exits normally.
[[noreturn]] void EndProcess(int code);

// Calls `fn(args...)`; returns `failure` when `fn` is null or the call fails.
template <class R, class Fn, class... Args>
R Call(R failure, Fn fn, Args... args) {
  if (fn == nullptr) {
    detail::NoCall();
    return failure;
  }
  struct Ctx {
    Fn fn;
    std::tuple<Args...> args;
    R result;
  } ctx{fn, std::tuple<Args...>(args...), failure};
  auto body = [](void* p) {
    auto* c = static_cast<Ctx*>(p);
    c->result = std::apply(c->fn, c->args);
  };
  if (!detail::RunGuarded(body, &ctx)) return failure;
  return ctx.result;
}

// Runs a piece of the program's own code that touches module-provided data
// (for example reading a plug-in's bitmap header); false when it faulted or threw.
template <class F>
bool Run(F&& f) {
  using Callable = std::remove_reference_t<F>;
  auto body = [](void* p) { (*static_cast<Callable*>(p))(); };
  return detail::RunGuarded(body, const_cast<void*>(static_cast<const void*>(&f)));
}

}  // namespace guard
