// The one place where an exception that leaves an event handler is caught:
// every call from the toolkit into the system's handlers goes through it.
//
// Handlers nest: a handler that sets a text, checks a box or moves a dataset
// sets off further handlers, each entering Dispatch again. An error in any of
// them belongs to the whole action the outermost Dispatch runs: the inner
// Dispatch keeps it and runs nothing more of that action, the code that set
// the inner handler off raises it again once the toolkit has returned (see
// RaiseHandlerError), and the outermost Dispatch shows it, once.
#pragma once

#include <exception>
#include <functional>

using TExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs what shows a caught exception (the application's error display)
// and returns the previous one.
TExceptionHandler SetExceptionHandler(TExceptionHandler handler);

// Runs `action`. Outermost, an exception is handed to the installed handler
// and goes no further; nested, it is kept for the outermost Dispatch. Returns
// false when the action failed, or did not run because the action it belongs
// to has already failed.
bool Dispatch(const std::function<void()>& action) noexcept;

// Hands the exception being handled to the installed handler; inside a
// Dispatch it is kept for the outermost one instead.
void HandleCurrentException() noexcept;

// Inside a Dispatch, throws again the error a nested one has kept, so that
// the code which set the failing handler off stops at this step. Code that
// calls into the toolkit (or anything else that may run handlers through
// Dispatch) calls it once that call has returned; outside a Dispatch, and
// while an exception unwinds the stack, it does nothing.
void RaiseHandlerError();

// Starts actions of their own inside the current one, whose errors are shown
// at once while the action around waits: an event loop run from inside a
// handler (a modal window, a box), or a step whose failure is shown and
// passed over (a settings file that does not load).
class TEventLoopScope {
public:
  TEventLoopScope() noexcept;
  ~TEventLoopScope();
  TEventLoopScope(const TEventLoopScope&) = delete;
  TEventLoopScope& operator=(const TEventLoopScope&) = delete;

private:
  int FDepth;
  std::exception_ptr FFailed;
};
