#include "Dispatch.h"

#include <cstdio>
#include <utility>

namespace {
TExceptionHandler& Handler() {
  static TExceptionHandler handler;
  return handler;
}

// The action being dispatched: how deeply Dispatch is nested, and the first
// error raised in it (the step where it failed).
struct DispatchState {
  int depth = 0;
  std::exception_ptr failed;
};

DispatchState& State() {
  static DispatchState state;
  return state;
}

void Show(const std::exception_ptr& error) noexcept {
  try {
    // A copy, so that a handler which installs another one does not destroy
    // itself while it runs.
    if (const TExceptionHandler handler = Handler()) {
      handler(error);
      return;
    }
  } catch (...) {
    // The error display itself failed; nothing better can be done than to go on.
  }
  std::fputs("Notarium: unhandled error\n", stderr);
}

// Keeps the first error of the action; later ones follow from it.
void Keep(DispatchState& state, std::exception_ptr error) noexcept {
  if (!state.failed) state.failed = std::move(error);
}
}  // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler handler) {
  TExceptionHandler old = std::move(Handler());
  Handler() = std::move(handler);
  return old;
}

void HandleCurrentException() noexcept {
  DispatchState& state = State();
  if (state.depth > 0)
    Keep(state, std::current_exception());
  else
    Show(std::current_exception());
}

bool Dispatch(const std::function<void()>& action) noexcept {
  DispatchState& state = State();
  // The action this one belongs to has failed: nothing more of it runs.
  if (state.depth > 0 && state.failed) return false;
  bool ok = true;
  ++state.depth;
  try {
    action();
  } catch (...) {
    ok = false;
    Keep(state, std::current_exception());
  }
  --state.depth;
  if (state.depth > 0 || !state.failed) return ok;
  // The outermost dispatch shows what failed, also when the code between
  // did not raise it again.
  const std::exception_ptr error = std::exchange(state.failed, nullptr);
  Show(error);
  return false;
}

void RaiseHandlerError() {
  const DispatchState& state = State();
  // While the error already unwinds the action, the code on its way out
  // (destructors) is let finish.
  if (state.depth > 0 && state.failed && std::uncaught_exceptions() == 0) std::rethrow_exception(state.failed);
}

TEventLoopScope::TEventLoopScope() noexcept : FDepth(State().depth), FFailed(std::move(State().failed)) {
  State().depth = 0;
  State().failed = nullptr;
}

TEventLoopScope::~TEventLoopScope() {
  // An error of the loop's own actions has been shown there already.
  State().depth = FDepth;
  State().failed = std::move(FFailed);
}
