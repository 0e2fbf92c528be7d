// The one place where an exception that leaves an event handler is caught:
// every call from the toolkit into the system's handlers goes through it.
#pragma once

#include <exception>
#include <functional>

using TExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs what shows a caught exception (the application's error display)
// and returns the previous one.
TExceptionHandler SetExceptionHandler(TExceptionHandler handler);

// Runs `action`; an exception is handed to the installed handler and goes no
// further. Returns false when the action failed.
bool Dispatch(const std::function<void()>& action) noexcept;

// Hands the exception being handled to the installed handler.
void HandleCurrentException() noexcept;
