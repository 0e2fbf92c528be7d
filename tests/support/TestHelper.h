// Helper modes of a test program: code a test runs in a child process of its
// own, started as `<test program> --helper=NAME`. A helper is no test: it
// never shows in the test list, and its exit code (0 for success) and output
// tell the parent test how it went.
#pragma once

#include <QStringList>

// Makes `helper` known under `name`; call it from a namespace-scope
// initialiser. Returns true, so that the call can initialise a constant.
bool RegisterTestHelper(const char* name, int (*helper)());
// The program arguments that start the helper named `name`.
QStringList TestHelperArguments(const char* name);
// Runs the helper the arguments name, if they name one: true, with the
// helper's exit code in `code`. An unknown helper name gives code 2.
bool RunTestHelper(int argc, char** argv, int& code);
