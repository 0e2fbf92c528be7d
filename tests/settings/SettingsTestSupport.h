// Small pieces the settings tests share: Qt strings in failure messages, the
// process's formats kept per test, whole files on disk, a folder for them,
// and the tree shown as text.
#pragma once

#include "rsStorage.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace settingstest {

// Lets a test change the process's formats and puts them back afterwards.
class FormatsGuard {
public:
  FormatsGuard() : FSaved(FormatSettings) {}
  ~FormatsGuard() { FormatSettings = FSaved; }
  FormatsGuard(const FormatsGuard&) = delete;
  FormatsGuard& operator=(const FormatsGuard&) = delete;

private:
  TFormatSettings FSaved;
};

// A whole file; empty when it cannot be read.
inline QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}

// A test whose settings files live in a temporary folder of its own.
class SettingsFileTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  // The main window's file in that folder.
  QString File() const { return dir.filePath(QStringLiteral("opt.ini")); }

  QTemporaryDir dir;
};

// One value as "kind:payload", readable in a failure message.
inline QString Describe(const TrsValue& v) {
  switch (v.Kind) {
    case vkEmpty: return QStringLiteral("empty");
    case vkText: return QStringLiteral("text:") + v.Text;
    case vkBinary: return QStringLiteral("bin:") + QString::fromLatin1(v.Binary.toHex().toUpper());
    case vkInteger: return QStringLiteral("int:%1").arg(v.Integer);
    case vkInt64: return QStringLiteral("int64:%1").arg(v.Integer);
    case vkFloat: return QStringLiteral("float:%1").arg(v.Float, 0, 'g', 17);
    case vkCurrency: return QStringLiteral("curr:%1").arg(v.Integer);
    case vkDateTime: return QStringLiteral("date:%1").arg(v.Float, 0, 'g', 17);
    case vkBoolean: return QStringLiteral("bool:%1").arg(v.Integer);
    case vkPoint: return QStringLiteral("point:%1,%2").arg(v.Point.x()).arg(v.Point.y());
  }
  return QString();
}

// Every key as "section|name=kind:payload", in array order.
inline QStringList DumpKeys(const TrsStorage& storage) {
  QStringList out;
  for (int i = 0; i < storage.KeyCount(); ++i) {
    const TrsKeyItem& k = storage.Keys(i);
    out << storage.SectionPath(k.SectionId) + QLatin1Char('|') + k.Name + QLatin1Char('=') + Describe(k.Value);
  }
  return out;
}

}  // namespace settingstest
