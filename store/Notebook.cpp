#include "Notebook.h"

#include "Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

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
    {"notes", {QStringLiteral("Title"), QStringLiteral("Body"), QStringLiteral("Entered"), QStringLiteral("Cat_id"), QStringLiteral("Favorite")}},
};

qint64 Count(TSqlDatabase& db, const char* table) {
  TSqlStatement st = db.Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)));
  st.Step();
  return st.Column(0).toLongLong();
}

}  // namespace

void CreateNotebook(const QString& path, const QString& password) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  if (QFileInfo::exists(absolute))
    throw EDatabaseError(QStringLiteral("%1 already exists; nothing was changed.").arg(absolute));
  try {
    TSqlDatabase db(absolute, password, TSqlDatabase::OpenMode::Create);
    db.Exec(QStringLiteral("BEGIN"));
    for (const char* statement : kSchema) db.Exec(QString::fromLatin1(statement));
    db.Exec(QStringLiteral("COMMIT"));
  } catch (...) {
    QFile::remove(absolute);
    throw;
  }
}

TNotebookCounts CheckNotebook(const QString& path, const QString& password) {
  TSqlDatabase db(path, password, TSqlDatabase::OpenMode::MustExist);
  for (const Table& t : kTables) {
    TSqlStatement st = db.Prepare(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.name)));
    QStringList present;
    while (st.Step()) present << st.Column(1).toString();
    if (present.isEmpty())
      throw EDatabaseError(QStringLiteral("%1 is not a notebook: it has no table %2.").arg(db.Path(), QLatin1String(t.name)));
    for (const QString& f : t.fields)
      if (!present.contains(f, Qt::CaseInsensitive))
        throw EDatabaseError(
            QStringLiteral("%1 is not a notebook: table %2 has no field %3.").arg(db.Path(), QLatin1String(t.name), f));
  }
  return {Count(db, "notes"), Count(db, "kategorije")};
}
