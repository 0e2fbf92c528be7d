// The connection: its string, the file it opens, and the three ways opening
// a notebook can fail.
#include "StoreFixture.h"

#include <QFile>

TEST_F(StoreTest, ConnectionStringIsReportedWithAnEmptyPasswordAfterTheProvider) {
  EXPECT_EQ(kFormConnectionString.size(), 555);
  ASSERT_TRUE(connection->Connected());
  const QString reported = connection->ConnectionString();
  EXPECT_EQ(reported.size(), 567);
  EXPECT_TRUE(reported.startsWith(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;")));
  EXPECT_EQ(connection->Provider(), QStringLiteral("Microsoft.Jet.OLEDB.4.0"));
  EXPECT_EQ(connection->FileName(), QDir(folder.path()).absoluteFilePath(QStringLiteral("db.mdb")));
}

TEST_F(StoreTest, WritingTheSameStringBackKeepsTheConnectionUsable) {
  TADOTable* t = Table(QStringLiteral("ADOTable1"), QStringLiteral("kategorije"));
  t->Open();
  for (const QString& s : {connection->ConnectionString(), kFormConnectionString}) {
    connection->SetConnectionString(s);
    EXPECT_TRUE(connection->Connected());
    EXPECT_TRUE(t->Active());
  }
  EXPECT_EQ(connection->ConnectionString().size(), 567);
  EXPECT_NO_THROW(AddCategory(QStringLiteral("Still works")));
  // Another file is another connection.
  connection->SetConnectionString(
      QString(kFormConnectionString).replace(QStringLiteral(".\\db.mdb"), QStringLiteral("other.mdb")));
  EXPECT_FALSE(connection->Connected());
  EXPECT_FALSE(t->Active());
}

TEST_F(StoreTest, OpeningFailsClearlyAndCreatesNothing) {
  QFile text(folder.filePath(QStringLiteral("notes.txt")));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write(QByteArray(4096, 'x'));
  text.close();
  CreateNotebook(folder.filePath(QStringLiteral("other.mdb")), QStringLiteral("not-lavandula"));
  {
    // A plain, unprotected database file.
    TSqlDatabase plain(folder.filePath(QStringLiteral("plain.mdb")), QString(), TSqlDatabase::OpenMode::Create);
    plain.Exec(QStringLiteral("CREATE TABLE t (x)"));
  }
  struct Row {
    const char* file;
    const char* expected;
  } rows[] = {
      {"missing.mdb", "does not exist"},
      {"other.mdb", "locked with another password"},
      {"notes.txt", "is not a notebook"},
      {"plain.mdb", "is not a notebook"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    const QString path = folder.filePath(QString::fromLatin1(r.file));
    const bool existed = QFile::exists(path);
    const qint64 size = existed ? QFileInfo(path).size() : -1;
    TADOConnection c;
    c.SetConnectionString(
        QString(kFormConnectionString).replace(QStringLiteral(".\\db.mdb"), QString::fromLatin1(r.file)));
    try {
      c.Open();
      ADD_FAILURE() << "opened";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QString::fromLatin1(r.expected))) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(path)) << "the message names the file: " << e.Message().toStdString();
    }
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(QFile::exists(path), existed);
    if (existed) {
      EXPECT_EQ(QFileInfo(path).size(), size) << "the file is left as it was";
    }
  }
}

TEST_F(StoreTest, ANotebookCannotBeReadWithoutItsPassword) {
  EXPECT_THROW(TSqlDatabase(File(), QString(), TSqlDatabase::OpenMode::MustExist), EDatabaseError);
  QFile f(File());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
  EXPECT_FALSE(bytes.contains("kategorije")) << "the schema is not readable in the file";
}

TEST_F(StoreTest, CheckCountsEntriesAndCategories) {
  const qint64 a = AddCategory(QStringLiteral("A"));
  AddCategory(QStringLiteral("B"));
  AddEntry(a, QStringLiteral("one"), QStringLiteral("1"));
  AddEntry(a, QStringLiteral("two"), QStringLiteral("2"));
  const TNotebookCounts counts = CheckNotebook(File());
  EXPECT_EQ(counts.entries, 2);
  EXPECT_EQ(counts.categories, 2);
  EXPECT_THROW(CreateNotebook(File()), EDatabaseError) << "an existing notebook is never overwritten";
  EXPECT_EQ(CheckNotebook(File()).entries, 2);
}

TEST_F(StoreTest, CheckSaysWhichTableAFileLacks) {
  const QString path = folder.filePath(QStringLiteral("half.mdb"));
  {
    TSqlDatabase db(path, kNotebookPassword, TSqlDatabase::OpenMode::Create);
    db.Exec(QStringLiteral("CREATE TABLE kategorije (ID INTEGER PRIMARY KEY, Category TEXT)"));
  }
  try {
    CheckNotebook(path);
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("has no table notes"))) << e.Message().toStdString();
  }
}
