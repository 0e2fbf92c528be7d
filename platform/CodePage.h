// Code pages: which code page a font character set stands for, and text
// between single-byte code pages and wide strings (through iconv).
#pragma once

#include <QByteArray>
#include <QString>

// The code page the user's single-byte text is in: Windows-1250.
int DefaultAnsiCodePage();
// The ANSI code page of a font character set (ANSI_CHARSET gives 1252,
// EASTEUROPE_CHARSET 1250, RUSSIAN_CHARSET 1251, SYMBOL_CHARSET 42, ...); 0 for
// a character set without one of its own, such as DEFAULT_CHARSET.
int CharsetToCodePage(int charset);
// Whether text can be converted with the code page.
bool IsCodePageSupported(int codePage);
// Single-byte (or multi-byte, for the East Asian code pages) text to wide
// text. A byte 0x80..0x9F that a single-byte code page leaves undefined
// becomes the control character of the same number, as Windows does; other
// bytes the code page does not define become U+FFFD. An unsupported code page
// raises EConvertError.
QString MultiByteToWide(int codePage, const QByteArray& bytes);
// Wide text to the code page; a character it cannot show (a surrogate pair
// counting as one) becomes '?', except that the control characters
// U+0080..U+009F go back to the bytes a single-byte code page leaves
// undefined. An unsupported code page raises EConvertError.
QByteArray WideToMultiByte(int codePage, const QString& text);
