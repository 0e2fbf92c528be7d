#include "Notebook.h"

#include "Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Jet's text fields hold up to 255 characters; the checks make the engine
// refuse values a field cannot take, with its own message.
const char* const kSchema[] = {
    "CREATE TABLE kategorije ("
    " ID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Category TEXT(255) CHECK (Category IS NULL OR (typeof(Category) = 'text' AND length(Category) <= 255)))",
    "CREATE TABLE notes ("
    " NoteID INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Title TEXT(255) CHECK (Title IS NULL OR (typeof(Title) = 'text' AND length(Title) <= 255)),"
    " Body MEMO CHECK (Body IS NULL OR typeof(Body) = 'text'),"
    " Entered DATETIME CHECK (Entered IS NULL OR Entered = date(Entered) OR Entered = datetime(Entered)),"
    " Cat_id INTEGER NOT NULL REFERENCES kategorije (ID) ON DELETE CASCADE CHECK (typeof(Cat_id) = 'integer'),"
    " Favorite INTEGER NOT NULL DEFAULT 0 CHECK (Favorite IN (0, 1)))",
    "CREATE INDEX notes_by_category ON notes (Cat_id)",
};

struct Table {
  const char* name;
  QStringList fields;
};

const Table kTables[] = {
    {"kategorije", {QStringLiteral("ID"), QStringLiteral("Category")}},
    {"notes",
     {QStringLiteral("Title"), QStringLiteral("Body"), QStringLiteral("Entered"), QStringLiteral("Cat_id"),
      QStringLiteral("Favorite")}},
};

std::function<void(TCreateStep)>& CreateHook() {
  static std::function<void(TCreateStep)> hook;
  return hook;
}

void Reached(TCreateStep step) {
  if (CreateHook()) CreateHook()(step);
}

// Whether anything stands at the path, a link to nothing included.
bool Taken(const QByteArray& path) {
  struct stat st;
  return ::lstat(path.constData(), &st) == 0;
}

QString SystemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Puts what was written to a file or folder on the disk.
void Sync(const QByteArray& path, int flags) {
  const int fd = ::open(path.constData(), flags | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// An empty file of this run's own, made beside `beside` under a hidden name no one else uses. It is removed, with the
// engine's journal, when the object goes, unless it was moved to its path.
class TNewFile {
public:
  explicit TNewFile(const QString& beside) {
    const QFileInfo info(beside);
    for (int attempt = 0; attempt < 100; ++attempt) {
      const QString name = QStringLiteral("%1/.%2.new-%3")
                               .arg(info.absolutePath(), info.fileName())
                               .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
      FName = QFile::encodeName(name);
      const int fd = ::open(FName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd >= 0) {
        ::close(fd);
        FMade = true;
        return;
      }
      FError = errno;
      if (FError != EEXIST) return;
    }
  }
  ~TNewFile() {
    if (!FMade) return;
    ::unlink((FName + "-journal").constData());
    if (!FMoved) ::unlink(FName.constData());
  }
  TNewFile(const TNewFile&) = delete;
  TNewFile& operator=(const TNewFile&) = delete;

  bool Made() const { return FMade; }
  int Error() const { return FError; }
  const QByteArray& Name() const { return FName; }

  // Gives the file the path `target` if nothing stands there; returns 0 or the system's error (EEXIST when something
  // does). A second name is given where the file system allows one, else the file is moved without replacing.
  int LinkTo(const QByteArray& target) {
    if (::link(FName.constData(), target.constData()) == 0) {
      // The hidden name goes at once: a run killed now leaves only the notebook.
      ::unlink(FName.constData());
      FMoved = true;
      return 0;
    }
    const int error = errno;
    if (error == EEXIST) return error;
    if (::renameat2(AT_FDCWD, FName.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0) {
      FMoved = true;
      return 0;
    }
    return errno == EINVAL || errno == ENOSYS ? error : errno;
  }

private:
  QByteArray FName;
  bool FMade = false;
  bool FMoved = false;
  int FError = 0;
};

// What the engine's own check of the whole file finds wrong, the first few items, a line each; empty when nothing is.
QStringList IntegrityProblems(TSqlDatabase& db) {
  QStringList problems;
  try {
    TSqlStatement st = db.Prepare(QStringLiteral("PRAGMA integrity_check(10)"));
    // One row may hold several lines, under a heading that names the schema.
    while (st.Step())
      for (const QString& line : st.Column(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!line.startsWith(QLatin1String("***"))) problems << line;
  } catch (const EDatabaseError& e) {
    problems << e.Message();
  }
  if (problems == QStringList{QStringLiteral("ok")}) problems.clear();
  return problems;
}

// The tables that do not read back whole: a row or an index of theirs cannot be read, or the engine's check names
// one of their indexes.
QStringList DamagedTables(TSqlDatabase& db, const QStringList& problems) {
  QStringList damaged;
  TSqlStatement tables =
      db.Prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rootpage"));
  while (tables.Step()) {
    const QString table = tables.Column(0).toString();
    bool whole = true;
    try {
      // The rows whole, then the count, which the engine takes from the smallest index.
      for (const QString& sql :
           {QStringLiteral("SELECT * FROM \"%1\""), QStringLiteral("SELECT count(*) FROM \"%1\"")}) {
        TSqlStatement st = db.Prepare(sql.arg(table));
        while (st.Step()) {
        }
      }
      TSqlStatement indexes =
          db.Prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?"));
      indexes.Bind(1, table);
      while (whole && indexes.Step()) {
        const QString index = indexes.Column(0).toString();
        for (const QString& p : problems) whole = whole && !p.contains(index);
      }
    } catch (const EDatabaseError&) {
      whole = false;
    }
    if (!whole) damaged << table;
  }
  return damaged;
}

// Raises the error that says the notebook is damaged, when the engine finds it so.
void CheckIntegrity(TSqlDatabase& db) {
  const QStringList problems = IntegrityProblems(db);
  if (problems.isEmpty()) return;
  QStringList tables;
  try {
    tables = DamagedTables(db, problems);
  } catch (const EDatabaseError&) {
    // The list of tables itself does not read: nothing more to name.
  }
  if (tables.isEmpty())
    throw EDatabaseError(QStringLiteral("The notebook %1 is damaged: %2").arg(db.Path(), problems.first()));
  throw EDatabaseError(QStringLiteral("The notebook %1 is damaged: table %2 does not read back whole (%3).")
                           .arg(db.Path(), tables.join(QStringLiteral(", table ")), problems.first()));
}

qint64 Count(TSqlDatabase& db, const char* table) {
  TSqlStatement st = db.Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)));
  st.Step();
  return st.Column(0).toLongLong();
}

}  // namespace

void PlaceNewFile(const QString& path, const QString& what, const std::function<void(const QString& hidden)>& build) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  const QByteArray target = QFile::encodeName(absolute);
  const auto exists = [&] {
    return EDatabaseError(QStringLiteral("%1 already exists; nothing was changed.").arg(absolute));
  };
  const auto failed = [&](const QString& why) {
    return EDatabaseError(QStringLiteral("The %1 %2 cannot be created: %3").arg(what, absolute, why));
  };
  if (Taken(target)) throw exists();
  Reached(TCreateStep::Checked);
  // The file is made under a name of its own in the same folder and gets its path only once it is complete, and only
  // if nothing has come to stand there meanwhile: a run that dies leaves nothing at the path, and a run never removes
  // a file it did not make.
  TNewFile temp(absolute);
  if (!temp.Made()) throw failed(SystemError(temp.Error()));
  try {
    build(QFile::decodeName(temp.Name()));
  } catch (const EDatabaseError& e) {
    throw failed(e.Message());
  }
  Sync(temp.Name(), O_RDONLY);
  Reached(TCreateStep::Built);
  if (const int error = temp.LinkTo(target)) throw error == EEXIST ? exists() : failed(SystemError(error));
  Sync(QFile::encodeName(QFileInfo(absolute).absolutePath()), O_RDONLY | O_DIRECTORY);
}

void CreateNotebook(const QString& path, const QString& password, const std::function<void(TSqlDatabase&)>& fill) {
  PlaceNewFile(path, QStringLiteral("notebook"), [&](const QString& hidden) {
    TSqlDatabase db(hidden, password, TSqlDatabase::OpenMode::Create);
    Reached(TCreateStep::Opened);
    // A run that dies leaves its file behind: one file, without a journal beside it.
    db.Exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
    db.Exec(QStringLiteral("BEGIN"));
    for (const char* statement : kSchema) db.Exec(QString::fromLatin1(statement));
    if (fill) fill(db);
    db.Exec(QStringLiteral("COMMIT"));
  });
}

void SetCreateNotebookHook(std::function<void(TCreateStep)> hook) { CreateHook() = std::move(hook); }

void CheckNotebookTables(TSqlDatabase& db) {
  for (const Table& t : kTables) {
    TSqlStatement st = db.Prepare(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.name)));
    QStringList present;
    while (st.Step()) present << st.Column(1).toString();
    if (present.isEmpty())
      throw EDatabaseError(
          QStringLiteral("%1 is not a notebook: it has no table %2.").arg(db.Path(), QLatin1String(t.name)));
    for (const QString& f : t.fields)
      if (!present.contains(f, Qt::CaseInsensitive))
        throw EDatabaseError(
            QStringLiteral("%1 is not a notebook: table %2 has no field %3.").arg(db.Path(), QLatin1String(t.name), f));
  }
}

TNotebookCounts CheckNotebook(const QString& path, const QString& password) {
  TSqlDatabase db(path, password, TSqlDatabase::OpenMode::MustExist);
  CheckIntegrity(db);
  CheckNotebookTables(db);
  return {Count(db, "notes"), Count(db, "kategorije")};
}
