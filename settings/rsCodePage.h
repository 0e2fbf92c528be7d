// The user's single-byte code page as the settings see it: the character of
// each byte, the byte of each character, and names ordered by those bytes.
#pragma once

#include <QChar>
#include <QString>

// The character each of the 256 bytes stands for. Every byte stands for
// exactly one character: the few bytes the code page leaves undefined stand
// for the control character of the same number, so that any file reads and
// writes back unchanged.
const QChar* CodePageChars();
// The byte a character is written as, or -1 when the code page has none.
int CodePageByte(QChar c);
// The order of section and key names: ASCII letters compare without regard
// to case (folded to upper case), every other character by its byte in the
// code page; characters the code page cannot write come after every byte.
// Zero exactly when the names are the same but for ASCII case.
int CompareNames(const QString& a, const QString& b);
