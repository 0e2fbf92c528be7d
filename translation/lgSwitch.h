// Small rules of the language switch and the property paths that stand on
// their own: the font character sets by name and their code pages, string
// lists refilled in place, and file names made absolute the Windows way.
#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

class TStrings;

// The value of a character set named like "EASTEUROPE_CHARSET"; none for a
// name that is no character set. The table is searched in a fixed order and
// the first match wins.
std::optional<int> lgCharsetByName(const QByteArray& name, bool ignoreCase);

// The code page that wide strings are converted with under a font character
// set: its own, or the system's default ANSI code page for one without
// (DEFAULT_CHARSET) or one that cannot be converted here.
int lgCodePageOf(int charset);

// Gives `list` the lines of `lines` while keeping the list object (and what
// shows it): line i is replaced or appended, then the surplus at the end
// goes. A sorted list is unsorted meanwhile, so that the lines land where they
// belong, and sorted again before its one change notice.
void lgReplaceLines(TStrings* list, const QStringList& lines);

// `fileName` made absolute against `currentDir` as Windows does it: "\" and
// "/" both separate, "." steps are dropped, ".." steps go up (never above the
// root), a drive ("C:") or a leading separator keeps the name's own root. The
// result is separated by "\".
QByteArray lgExpandFileName(const QByteArray& fileName, const QByteArray& currentDir);

// Whether two file names are the same apart from "/" standing for "\".
bool lgSameFileName(const QByteArray& a, const QByteArray& b);
