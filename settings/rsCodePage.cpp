#include "rsCodePage.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <vector>

const QChar* CodePageChars() {
  static const std::vector<QChar> table = [] {
    std::vector<QChar> chars(256);
    for (int b = 0; b < 256; ++b) {
      chars[static_cast<size_t>(b)] = QChar(b);
      if (b < 128) continue;
      QString wide;
      try {
        wide = MultiByteToWide(DefaultAnsiCodePage(), QByteArray(1, static_cast<char>(b)));
      } catch (const Exception&) {
      }
      if (wide.size() == 1 && wide[0] != QChar(QChar::ReplacementCharacter)) chars[static_cast<size_t>(b)] = wide[0];
    }
    return chars;
  }();
  return table.data();
}

int CodePageByte(QChar c) {
  if (c.unicode() < 128) return c.unicode();
  static const QHash<char16_t, int> bytes = [] {
    QHash<char16_t, int> map;
    const QChar* chars = CodePageChars();
    for (int b = 128; b < 256; ++b) map.insert(chars[b].unicode(), b);
    return map;
  }();
  return bytes.value(c.unicode(), -1);
}

namespace {

// A character's place in the order of names.
int NameOrder(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128) return u >= 'a' && u <= 'z' ? u - 32 : u;
  const int byte = CodePageByte(c);
  return byte >= 0 ? byte : 256 + u;
}

}  // namespace

int CompareNames(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const int x = NameOrder(a[i]), y = NameOrder(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}
