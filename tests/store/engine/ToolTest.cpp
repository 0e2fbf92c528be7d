// The notarium-db tool as a user runs it.
#include "Notebook.h"
#include "Sqlite.h"
#include "TestHelper.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

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

// ---------------------------------------------------------------- export, import, backup

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QStringList Listing(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A notebook with Serbian letters, markup, a body of several lines starting with '#', a null title, an empty
// category and a favourite.
void FillNotebook(const QString& file) {
  CreateNotebook(file, kNotebookPassword, [](TSqlDatabase& db) {
    db.Exec(QStringLiteral("INSERT INTO kategorije (Category) VALUES ('Šećer & \"so\"'), ('Prazna')"));
    db.Exec(
        QStringLiteral("INSERT INTO notes (Cat_id, Title, Body, Entered, Favorite) VALUES "
                       "(1, '<script>alert(''ž'')</script>', '# prvi' || char(10) || 'drugi', '2024-01-02', 1), "
                       "(1, NULL, 'bez naslova', '2024-01-03 08:09:10', 0)"));
  });
}

}  // namespace

TEST(NotariumDb, ExportWritesEachFormatToOutOrStandardOutput) {
  QTemporaryDir dir;
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  struct Row {
    const char* format;
    QStringList expected;
  };
  const Row rows[] = {
      {"json",
       {QStringLiteral("\"format\": \"notarium-export\""), QStringLiteral("\"title\": \"<script>alert('ž')</script>\""),
        QStringLiteral("\"title\": null"), QStringLiteral("\"body\": \"# prvi\\ndrugi\""),
        QStringLiteral("\"entered\": \"2024-01-03T08:09:10\""), QStringLiteral("\"favorite\": true"),
        QStringLiteral("\"name\": \"Prazna\",\n      \"entries\": []")}},
      {"markdown",
       {QStringLiteral("## Šećer \\& \"so\""), QStringLiteral("### \\<script\\>alert('ž')\\</script\\>"),
        QStringLiteral("```\n# prvi\ndrugi\n```"), QStringLiteral("## Prazna\n\n_No entries._")}},
      {"html",
       {QStringLiteral("<a href=\"#category-2\">Prazna</a>"), QStringLiteral("Šećer &amp; &quot;so&quot;"),
        QStringLiteral("&lt;script&gt;alert(&#39;ž&#39;)&lt;/script&gt;"), QStringLiteral("<pre>\n# prvi\ndrugi</pre>"),
        QStringLiteral("Entered 2024-01-02 · favourite")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.format);
    const QString format = QString::fromLatin1(row.format);
    const Result shown = Tool(dir.path(), {QStringLiteral("export"), QStringLiteral("--format"), format});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    const QString out = QStringLiteral("out.") + format;
    const Result written = Tool(dir.path(), {QStringLiteral("export"), QStringLiteral("db.mdb"),
                                             QStringLiteral("--format=") + format, QStringLiteral("-o"), out});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const QString text = QString::fromUtf8(Bytes(dir.filePath(out)));
    EXPECT_EQ(text, shown.out) << "the same document to a file and to the standard output";
    for (const QString& part : row.expected)
      EXPECT_TRUE(text.contains(part)) << "lacks " << part.toStdString() << " in\n" << text.toStdString();
  }
}

TEST(NotariumDb, ExportRefusesAsCheckDoes) {
  QTemporaryDir dir;
  Write(dir.filePath(QStringLiteral("text.mdb")), "just some text\n");
  CreateNotebook(dir.filePath(QStringLiteral("other.mdb")), QStringLiteral("secret"));
  for (const char* file : {"missing.mdb", "text.mdb", "other.mdb"}) {
    SCOPED_TRACE(file);
    const QStringList check{QStringLiteral("check"), QString::fromLatin1(file)};
    const Result checked = Tool(dir.path(), check);
    const Result exported =
        Tool(dir.path(), {QStringLiteral("export"), QString::fromLatin1(file), QStringLiteral("--format"),
                          QStringLiteral("json"), QStringLiteral("-o"), QStringLiteral("out.json")});
    EXPECT_EQ(exported.code, 1);
    EXPECT_FALSE(checked.err.isEmpty());
    EXPECT_EQ(exported.err, checked.err);
    EXPECT_TRUE(exported.out.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.json"))));
  }
  // Nor is the notebook ever the export's own file.
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  const QByteArray before = Bytes(dir.filePath(QStringLiteral("db.mdb")));
  const Result onto = Tool(dir.path(), {QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("html"),
                                        QStringLiteral("-o"), QStringLiteral("./db.mdb")});
  EXPECT_EQ(onto.code, 1);
  EXPECT_TRUE(onto.err.contains(QStringLiteral("notebook itself"))) << onto.err.toStdString();
  EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("db.mdb"))), before);
}

TEST(NotariumDb, ExportImportExportGivesTheSameBytes) {
  QTemporaryDir dir;
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  const QStringList json{QStringLiteral("--format"), QStringLiteral("json")};
  const Result first = Tool(dir.path(), QStringList{QStringLiteral("export")} + json + QStringList{"-o", "a.json"});
  ASSERT_EQ(first.code, 0) << first.err.toStdString();
  const Result imported =
      Tool(dir.path(), {QStringLiteral("import"), QStringLiteral("a.json"), QStringLiteral("b.mdb")});
  ASSERT_EQ(imported.code, 0) << imported.err.toStdString();
  EXPECT_TRUE(imported.out.contains(QStringLiteral("2 entries in 2 categories"))) << imported.out.toStdString();
  const Result second = Tool(dir.path(), QStringList{QStringLiteral("export"), QStringLiteral("b.mdb")} + json);
  ASSERT_EQ(second.code, 0) << second.err.toStdString();
  EXPECT_EQ(second.out.toUtf8(), Bytes(dir.filePath(QStringLiteral("a.json"))));
  EXPECT_EQ(Listing(dir.path()),
            (QStringList{QStringLiteral("a.json"), QStringLiteral("b.mdb"), QStringLiteral("db.mdb")}));
}

// A bad export names what is wrong and where, and leaves neither the notebook nor its hidden file.
TEST(NotariumDb, ImportOfABadExportLeavesNothing) {
  QTemporaryDir dir;
  const QByteArray head = R"({"format":"notarium-export","version":1,"categories":[)";
  const QByteArray good = R"({"name":"Dobra","entries":[{"title":"a","body":"b","entered":null,"favorite":false}]},)";
  struct Row {
    QByteArray json;
    QStringList expected;
  };
  const Row rows[] = {
      {head + good, {QStringLiteral("not whole, readable JSON")}},
      {R"({"format":"something-else","version":1,"categories":[]})", {QStringLiteral("not a Notarium export")}},
      {head + good + R"({"entries":[{"title":"t","body":"b","entered":null,"favorite":false}]}]})",
       {QStringLiteral("Category 2, entry 1"), QStringLiteral("no category")}},
      {head + good +
           R"({"name":"Duga","entries":[{"title":"ok","body":null,"entered":null,"favorite":true},{"title":")" +
           QByteArray(256, 'x') + R"(","body":"b","entered":null,"favorite":false}]}]})",
       {QStringLiteral("Category 2 \"Duga\", entry 2"), QStringLiteral("256 characters")}},
      {head + good + R"({"name":"Tipovi","entries":[{"title":"t","body":["b"],"entered":null,"favorite":false}]}]})",
       {QStringLiteral("Category 2 \"Tipovi\", entry 1"), QStringLiteral("\"body\" is a list")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.json.left(100).toStdString());
    Write(dir.filePath(QStringLiteral("in.json")), row.json);
    const Result r = Tool(dir.path(), {QStringLiteral("import"), QStringLiteral("in.json"), QStringLiteral("new.mdb")});
    EXPECT_EQ(r.code, 1);
    for (const QString& part : row.expected)
      EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString() << "\nlacks: " << part.toStdString();
    EXPECT_EQ(Listing(dir.path()), QStringList{QStringLiteral("in.json")});
  }
}

TEST(NotariumDb, ImportNeverTouchesAnExistingFile) {
  QTemporaryDir dir;
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  ASSERT_EQ(Tool(dir.path(), {"export", "--format", "json", "-o", "a.json"}).code, 0);
  Write(dir.filePath(QStringLiteral("mine.mdb")), "precious");
  for (const char* target : {"mine.mdb", "db.mdb"}) {
    SCOPED_TRACE(target);
    const QByteArray before = Bytes(dir.filePath(QString::fromLatin1(target)));
    const Result r =
        Tool(dir.path(), {QStringLiteral("import"), QStringLiteral("a.json"), QString::fromLatin1(target)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("already exists; nothing was changed."))) << r.err.toStdString();
    EXPECT_EQ(Bytes(dir.filePath(QString::fromLatin1(target))), before);
  }
  EXPECT_EQ(Listing(dir.path()),
            (QStringList{QStringLiteral("a.json"), QStringLiteral("db.mdb"), QStringLiteral("mine.mdb")}));
}

TEST(NotariumDb, BackupIsACopyThatOpensWithThePassword) {
  QTemporaryDir dir;
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  const QByteArray before = Bytes(dir.filePath(QStringLiteral("db.mdb")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("safe")));
  const Result r = Tool(dir.path(), {QStringLiteral("backup"), QStringLiteral("safe/copy.mdb")});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const TNotebookCounts counts = CheckNotebook(dir.filePath(QStringLiteral("safe/copy.mdb")));
  EXPECT_EQ(counts.entries, 2);
  EXPECT_EQ(counts.categories, 2);
  EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("db.mdb"))), before);
  EXPECT_EQ(Listing(dir.filePath(QStringLiteral("safe"))), QStringList{QStringLiteral("copy.mdb")});
}

namespace {

constexpr const char* kBackupWriter = "backup-writer";

// Adds entries "w 0", "w 1", ... to the notebook the test names, each in its own transaction, says "ready" after
// the first, and goes on until the test's stop file appears. It pauses a moment between entries, as a program
// writing for its user does: a loop committing back to back would hold every reader off for as long as it runs,
// which no backup of any program could get through.
int WriteUntilStopped() {
  const QString file = qEnvironmentVariable("NOTARIUM_TEST_BACKUP_DB");
  const QString stop = qEnvironmentVariable("NOTARIUM_TEST_BACKUP_STOP");
  try {
    TSqlDatabase db(file, kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    TSqlStatement add =
        db.Prepare(QStringLiteral("INSERT INTO notes (Cat_id, Title, Body, Entered, Favorite) VALUES (1, ?, "
                                  "hex(randomblob(300)), '2024-01-01', 0)"));
    for (int i = 0; i < 1000000 && !QFile::exists(stop); ++i) {
      add.Bind(1, QStringLiteral("w %1").arg(i));
      add.Step();
      add.Reset();
      QThread::msleep(2);
      if (i == 0) {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
      }
    }
    return 0;
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}

const bool kBackupWriterRegistered = RegisterTestHelper(kBackupWriter, &WriteUntilStopped);

}  // namespace

// The copy is taken while another process adds entries one transaction at a time: it is whole, and it holds the
// entries of one moment, "w 0" up to some "w k" with none missing between.
TEST(NotariumDb, BackupWhileAnotherProcessWrites) {
  ASSERT_TRUE(kBackupWriterRegistered);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("db.mdb"));
  // Big enough that the copy takes several steps, so that the writer's commits fall between them.
  CreateNotebook(file, kNotebookPassword, [](TSqlDatabase& db) {
    db.Exec(QStringLiteral("INSERT INTO kategorije (Category) VALUES ('Posao')"));
    db.Exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                       "INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) "
                       "SELECT 'seed ' || i, hex(randomblob(200)), '2024-01-01', 1, 0 FROM n"));
  });
  QProcess writer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("NOTARIUM_TEST_BACKUP_DB"), file);
  env.insert(QStringLiteral("NOTARIUM_TEST_BACKUP_STOP"), dir.filePath(QStringLiteral("stop")));
  writer.setProcessEnvironment(env);
  writer.start(QCoreApplication::applicationFilePath(), TestHelperArguments(kBackupWriter));
  ASSERT_TRUE(writer.waitForReadyRead(60000)) << "the writer never got going";
  ASSERT_EQ(writer.readLine(), QByteArray("ready\n"));
  const Result r = Tool(dir.path(), {QStringLiteral("backup"), QStringLiteral("copy.mdb")});
  Write(dir.filePath(QStringLiteral("stop")), "");
  ASSERT_TRUE(writer.waitForFinished(60000));
  EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const Result checked = Tool(dir.path(), {QStringLiteral("check"), QStringLiteral("copy.mdb")});
  EXPECT_EQ(checked.code, 0) << checked.err.toStdString();
  TSqlDatabase copy(dir.filePath(QStringLiteral("copy.mdb")), kNotebookPassword, TSqlDatabase::OpenMode::ReadOnly);
  TSqlStatement st =
      copy.Prepare(QStringLiteral("SELECT count(*), count(DISTINCT Title), max(CAST(substr(Title, 3) AS INTEGER)) FROM "
                                  "notes WHERE Title LIKE 'w %'"));
  ASSERT_TRUE(st.Step());
  const qint64 written = st.Column(0).toLongLong();
  EXPECT_GE(written, 1) << "the writer's first entry came before the copy";
  EXPECT_EQ(st.Column(1).toLongLong(), written);
  EXPECT_EQ(st.Column(2).toLongLong(), written - 1) << "no entry missing between w 0 and the last";
  EXPECT_EQ(CheckNotebook(dir.filePath(QStringLiteral("copy.mdb"))).entries, 3000 + written);
}

TEST(NotariumDb, BackupRefusals) {
  QTemporaryDir dir;
  FillNotebook(dir.filePath(QStringLiteral("db.mdb")));
  Write(dir.filePath(QStringLiteral("taken.mdb")), "precious");
  ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("db.mdb")), dir.filePath(QStringLiteral("link.mdb"))));
  ASSERT_EQ(::link(QFile::encodeName(dir.filePath(QStringLiteral("db.mdb"))).constData(),
                   QFile::encodeName(dir.filePath(QStringLiteral("hard.mdb"))).constData()),
            0);
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
  // Root writes into any folder whose mode says no; no one writes into a process's folder under /proc.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
  QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const QString unwritable =
      ::geteuid() == 0 ? QStringLiteral("/proc/self/copy.mdb") : dir.filePath(QStringLiteral("locked/copy.mdb"));
  struct Row {
    QStringList args;
    const char* expected;
  };
  const Row rows[] = {
      {{QStringLiteral("missing/copy.mdb")}, "does not exist"},
      {{unwritable}, "cannot be written to"},
      {{QStringLiteral("db.mdb"), QStringLiteral("db.mdb")}, "is the notebook itself"},
      {{QStringLiteral("sub/../db.mdb")}, "is the notebook itself"},
      {{QStringLiteral("link.mdb")}, "is the notebook itself"},
      {{QStringLiteral("hard.mdb")}, "is the notebook itself"},
      {{QStringLiteral("taken.mdb")}, "already exists; nothing was changed."},
      {{QStringLiteral("other.mdb"), QStringLiteral("copy.mdb")}, "does not exist"},
  };
  const QByteArray notebook = Bytes(dir.filePath(QStringLiteral("db.mdb")));
  const QStringList listing = Listing(dir.path());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString());
    const Result r = Tool(dir.path(), QStringList{QStringLiteral("backup")} + row.args);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QString::fromLatin1(row.expected))) << r.err.toStdString();
    EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("db.mdb"))), notebook);
    EXPECT_EQ(Bytes(dir.filePath(QStringLiteral("taken.mdb"))), QByteArray("precious"));
    EXPECT_EQ(Listing(dir.path()), listing);
    EXPECT_TRUE(Listing(dir.filePath(QStringLiteral("locked"))).isEmpty());
  }
  QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(NotariumDb, HelpAndWrongUse) {
  QTemporaryDir dir;
  struct Row {
    QStringList args;
    int code;
    const char* out;  // what the standard output shows, or, for a wrong use, the error stream
  };
  const Row rows[] = {
      {{"--help"}, 0, "notarium-db import JSON [FILE]"},
      {{"create", "--help"}, 0, "usage: notarium-db create [FILE]"},
      {{"check", "--help"}, 0, "usage: notarium-db check [FILE]"},
      {{"export", "--help"}, 0, "\"format\":\"notarium-export\""},
      {{"import", "x.json", "--help"}, 0, "usage: notarium-db import JSON [FILE]"},
      {{"backup", "--help"}, 0, "usage: notarium-db backup [FILE] DEST"},
      {{"export", "--format", "json", "--pretty"}, 2, "unknown option --pretty"},
      {{"backup", "--force", "copy.mdb"}, 2, "unknown option --force"},
      {{"create", "-x"}, 2, "unknown option -x"},
      {{"export"}, 2, "needs --format"},
      {{"export", "--format", "pdf"}, 2, "unknown format pdf"},
      {{"export", "--format"}, 2, "--format needs a value"},
      {{"import"}, 2, "usage: notarium-db import"},
      {{"backup", "a", "b", "c"}, 2, "usage: notarium-db backup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args.join(QLatin1Char(' ')).toStdString());
    const Result r = Tool(dir.path(), row.args);
    EXPECT_EQ(r.code, row.code);
    const QString& shown = row.code == 0 ? r.out : r.err;
    EXPECT_TRUE(shown.contains(QString::fromLatin1(row.out))) << shown.toStdString();
    if (row.code != 0) {
      EXPECT_TRUE(r.out.isEmpty());
    }
  }
  EXPECT_EQ(Listing(dir.path()), QStringList{}) << "neither help nor a wrong use makes a file";
}
