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
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
          QString::fromLocal8Bit(p.readAllStandardError())};
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
  for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("drop")},
                                  QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")}}) {
    const Result r = Tool(dir.path(), args);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("usage"))) << r.err.toStdString();
  }
}

namespace {

// A notebook of 1,500 entries with one bit flipped in the given page.
QString DamagedNotebook(const QString& folder, int page, int offsetInPage) {
  const QString file = QDir(folder).absoluteFilePath(QStringLiteral("page%1.mdb").arg(page));
  CreateNotebook(file);
  {
    TSqlDatabase db(file, kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    db.Exec(QStringLiteral("INSERT INTO kategorije (Category) VALUES ('Posao')"));
    db.Exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1500) "
                       "INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) "
                       "SELECT 'title ' || i, hex(randomblob(250)), '2024-01-01', 1, 0 FROM n"));
  }
  QFile f(file);
  if (!f.open(QIODevice::ReadWrite) || f.size() < qint64(page) * 1024) return QString();
  const qint64 at = qint64(page - 1) * 1024 + offsetInPage;
  f.seek(at);
  char byte = 0;
  f.getChar(&byte);
  f.seek(at);
  f.putChar(char(byte ^ 0x10));
  return file;
}

}  // namespace

TEST(NotariumDb, CheckReportsDamageAsDamage) {
  QTemporaryDir dir;
  struct Row {
    int page;
    const char* names;  // what the message must name besides the damage
  };
  // Page 400 holds entries; a flip past the first page's salt leaves the
  // password's key intact, so the rest of the file still reads with it.
  const Row rows[] = {{400, "notes"}, {1, ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.page);
    const QString file = DamagedNotebook(dir.path(), row.page, 200);
    ASSERT_FALSE(file.isEmpty()) << "the notebook has that many pages";
    const Result r = Tool(dir.path(), {QStringLiteral("check"), file});
    EXPECT_NE(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("damaged"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromLatin1(row.names))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("password"))) << r.err.toStdString();
  }
}

// Two real processes make the same notebook at the same moment, again and
// again: one makes it, the other is told it exists, and nothing else is left.
TEST(NotariumDb, TwoCreatesOfOnePathAtOnce) {
  QTemporaryDir dir;
  const QString file = QDir(dir.path()).absoluteFilePath(QStringLiteral("db.mdb"));
  for (int round = 0; round < 10; ++round) {
    SCOPED_TRACE(round);
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
      p->setWorkingDirectory(dir.path());
      p->start(QStringLiteral(NOTARIUM_DB_EXE), {QStringLiteral("create")});
    }
    int made = 0;
    for (QProcess* p : {&first, &second}) {
      ASSERT_TRUE(p->waitForFinished(60000));
      const QString err = QString::fromLocal8Bit(p->readAllStandardError());
      if (p->exitCode() == 0) {
        ++made;
      } else {
        EXPECT_TRUE(err.contains(QStringLiteral("already exists"))) << err.toStdString();
      }
    }
    EXPECT_EQ(made, 1);
    EXPECT_EQ(CheckNotebook(file).entries, 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("db.mdb")});
    QFile::remove(file);
  }
}
