// The program's start-up: one copy per user, then the main window and the
// message loop.
#pragma once

#include <QString>

// Runs Notarium; the exit code is 0 in every case. With --user-notebook (the
// desktop entry's way of starting it) it works in the user's notebook folder.
int RunNotarium(int argc, char** argv);

// The user's notebook folder: $XDG_DATA_HOME/notarium, by default
// ~/.local/share/notarium.
QString UserNotebookFolder();
// Makes that folder current, first making it and an empty notebook in it
// when they are missing.
void EnterUserNotebookFolder();
