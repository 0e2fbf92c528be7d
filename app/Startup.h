// The program's start-up: one copy per user, then the main window and the
// message loop.
#pragma once

// Runs Notarium; the exit code is 0 in every case.
int RunNotarium(int argc, char** argv);
