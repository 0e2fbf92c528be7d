#include "Dispatch.h"

#include <cstdio>

namespace {
TExceptionHandler& Handler() {
  static TExceptionHandler handler;
  return handler;
}
}  // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler handler) {
  TExceptionHandler old = std::move(Handler());
  Handler() = std::move(handler);
  return old;
}

void HandleCurrentException() noexcept {
  std::exception_ptr error = std::current_exception();
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

bool Dispatch(const std::function<void()>& action) noexcept {
  try {
    action();
    return true;
  } catch (...) {
    HandleCurrentException();
    return false;
  }
}
