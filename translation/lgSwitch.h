// Small rules of the language switch that stand on their own: the font
// character sets by name, and file names made absolute the Windows way.
#pragma once

#include <QByteArray>

#include <optional>

// The value of a character set named like "EASTEUROPE_CHARSET"; none for a
// name that is no character set. The table is searched in a fixed order and
// the first match wins.
std::optional<int> lgCharsetByName(const QByteArray& name, bool ignoreCase);

// `fileName` made absolute against `currentDir` as Windows does it: "\" and
// "/" both separate, "." steps are dropped, ".." steps go up (never above the
// root), a drive ("C:") or a leading separator keeps the name's own root. The
// result is separated by "\".
QByteArray lgExpandFileName(const QByteArray& fileName, const QByteArray& currentDir);

// Whether two file names are the same apart from "/" standing for "\".
bool lgSameFileName(const QByteArray& a, const QByteArray& b);
