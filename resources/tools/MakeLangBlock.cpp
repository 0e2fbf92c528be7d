// Turns a window's translation table, kept in the repository as readable
// UTF-8 text, into the byte block its translation component reads: the texts
// in Windows-1250, the column byte 1 where the text has "|", every line ended
// by CR LF. Lines that are empty or start with "#" are the reader's notes and
// are left out.
//
//   notarium-lang-block TABLE.lang OUT.lgdata
#include "CodePage.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

int Fail(const QString& text) {
  std::fprintf(stderr, "notarium-lang-block: %s\n", qPrintable(text));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Fail(QStringLiteral("usage: notarium-lang-block TABLE.lang OUT.lgdata"));
  const QString source = QString::fromLocal8Bit(argv[1]);
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read %1: %2").arg(source, in.errorString()));
  const QString text = QString::fromUtf8(in.readAll());

  QByteArray block;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    QString line = lines[i];
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    // The engine's own escapes for line breaks inside a row are kept as
    // they are; a control character anywhere else is a mistake in the table.
    for (QChar c : line)
      if (c.unicode() < 0x20 && c != QChar(0x19) && c != QChar(0x1A))
        return Fail(QStringLiteral("%1:%2: a control character in the table").arg(source).arg(i + 1));
    QByteArray bytes = WideToMultiByte(DefaultAnsiCodePage(), line);
    // Windows-1250 shows a character it lacks as '?': refuse the table
    // rather than ship a text the user would see spoiled.
    if (MultiByteToWide(DefaultAnsiCodePage(), bytes) != line)
      return Fail(QStringLiteral("%1:%2: a character Windows-1250 cannot hold").arg(source).arg(i + 1));
    bytes.replace('|', '\x01');
    block += bytes;
    block += "\r\n";
  }

  const QString target = QString::fromLocal8Bit(argv[2]);
  QFile out(target);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(block) != block.size() || !out.flush())
    return Fail(QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
  return 0;
}
