// The notarium-db tool as a user runs it.
#include "Notebook.h"
#include "Sqlite.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Result {
  int code;
  QString out;
  QString err;
};

Result Tool(const QString& folder, const QStringList& args) {
  QProcess p;
  p.setWorkingDirectory(folder);
  p.start(QStringLiteral(NOTARIUM_DB_EXE), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace

TEST(NotariumDb, CreateThenCheckANewNotebook) {
  QTemporaryDir dir;
  const Result created = Tool(dir.path(), {QStringLiteral("create")});
  EXPECT_EQ(created.code, 0) << created.err.toStdString();
  const QString file = QDir(dir.path()).absoluteFilePath(QStringLiteral("db.mdb"));
  EXPECT_TRUE(QFile::exists(file)) << "the default file is ./db.mdb";
  const Result checked = Tool(dir.path(), {QStringLiteral("check")});
  EXPECT_EQ(checked.code, 0);
  EXPECT_TRUE(checked.out.contains(QStringLiteral("0 entries in 0 categories"))) << checked.out.toStdString();
  EXPECT_NO_THROW(CheckNotebook(file)) << "the program's password opens it";
}

TEST(NotariumDb, CreateRefusesToOverwrite) {
  QTemporaryDir dir;
  const QString file = QDir(dir.path()).absoluteFilePath(QStringLiteral("mine.mdb"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("precious");
  f.close();
  const Result r = Tool(dir.path(), {QStringLiteral("create"), QStringLiteral("mine.mdb")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains(QStringLiteral("already exists"))) << r.err.toStdString();
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("precious"));
}

TEST(NotariumDb, CheckSaysWhatIsWrong) {
  QTemporaryDir dir;
  QFile text(QDir(dir.path()).absoluteFilePath(QStringLiteral("text.mdb")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("just some text\n");
  text.close();
  CreateNotebook(QDir(dir.path()).absoluteFilePath(QStringLiteral("other.mdb")), QStringLiteral("secret"));
  const std::pair<const char*, const char*> rows[] = {
      {"missing.mdb", "does not exist"}, {"text.mdb", "is not a notebook"}, {"other.mdb", "another password"}};
  for (const auto& [file, expected] : rows) {
    SCOPED_TRACE(file);
    const Result r = Tool(dir.path(), {QStringLiteral("check"), QString::fromLatin1(file)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QString::fromLatin1(expected))) << r.err.toStdString();
  }
  EXPECT_FALSE(QFile::exists(QDir(dir.path()).absoluteFilePath(QStringLiteral("missing.mdb"))));
}

TEST(NotariumDb, WrongUseShowsUsage) {
  QTemporaryDir dir;
  for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("drop")}, QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")}}) {
    const Result r = Tool(dir.path(), args);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("usage"))) << r.err.toStdString();
  }
}
