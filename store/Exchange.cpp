#include "Exchange.h"

#include "DB.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <sqlite3.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kFormatMarker[] = "notarium-export";
constexpr int kFormatVersion = 1;
// The notebook's text fields hold this many characters (code points, as the engine counts them).
constexpr qsizetype kMaxText = 255;

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd'T'hh:mm:ss");

QString ExportDate(const QDateTime& value) {
  return value.toString(value.time() == QTime(0, 0) ? kDateFormat : kDateTimeFormat);
}

std::optional<QString> OptionalText(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return std::nullopt;
  return value.toString();
}

// Lines as a document shows them: a Windows line end or a lone carriage return is one line break.
QString UnixLines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// A heading is one line.
QString OneLine(const QString& text) {
  QString t = UnixLines(text);
  t.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return t;
}

// ---------------------------------------------------------------- JSON

QString JsonString(const std::optional<QString>& text) {
  if (!text) return QStringLiteral("null");
  QString out = QStringLiteral("\"");
  out.reserve(text->size() + 2);
  for (const QChar c : *text) {
    switch (c.unicode()) {
      case '"': out += QStringLiteral("\\\""); break;
      case '\\': out += QStringLiteral("\\\\"); break;
      case '\b': out += QStringLiteral("\\b"); break;
      case '\f': out += QStringLiteral("\\f"); break;
      case '\n': out += QStringLiteral("\\n"); break;
      case '\r': out += QStringLiteral("\\r"); break;
      case '\t': out += QStringLiteral("\\t"); break;
      default:
        if (c.unicode() < 0x20)
          out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
          out += c;
    }
  }
  return out + QLatin1Char('"');
}

// Written by hand rather than through QJsonDocument, which orders keys alphabetically: the marker comes first, and
// the same notebook always gives the same bytes.
QString Json(const TExchangeNotebook& notebook) {
  QString out = QStringLiteral("{\n  \"format\": \"%1\",\n  \"version\": %2,\n  \"categories\": [")
                    .arg(QLatin1String(kFormatMarker))
                    .arg(kFormatVersion);
  for (std::size_t i = 0; i < notebook.size(); ++i) {
    const TExchangeCategory& category = notebook[i];
    out += QLatin1String(i ? ",\n" : "\n");
    out += QStringLiteral("    {\n      \"name\": %1,\n      \"entries\": [").arg(JsonString(category.name));
    for (std::size_t j = 0; j < category.entries.size(); ++j) {
      const TExchangeEntry& e = category.entries[j];
      out += QLatin1String(j ? ",\n" : "\n");
      out += QStringLiteral(
                 "        {\n          \"title\": %1,\n          \"body\": %2,\n          \"entered\": %3,\n"
                 "          \"favorite\": %4\n        }")
                 .arg(JsonString(e.title), JsonString(e.body),
                      JsonString(e.entered ? std::optional<QString>(ExportDate(*e.entered)) : std::nullopt),
                      QLatin1String(e.favorite ? "true" : "false"));
    }
    out += category.entries.empty() ? QStringLiteral("]\n    }") : QStringLiteral("\n      ]\n    }");
  }
  out += notebook.empty() ? QStringLiteral("]\n}\n") : QStringLiteral("\n  ]\n}\n");
  return out;
}

// ---------------------------------------------------------------- Markdown

// Backslashes the characters that would start emphasis, code, a link, raw HTML or an entity, or close a heading.
QString MarkdownInline(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : OneLine(text)) {
    if (QStringLiteral("\\`*_[]<>&#~|").contains(c)) out += QLatin1Char('\\');
    out += c;
  }
  return out;
}

// A body goes in a fenced block, where nothing is markup: its lines are shown as they are, a line starting with '#'
// included. The fence is longer than any run of backticks in the body, so no line of it can close the block.
QString MarkdownBody(const QString& body) {
  const QString text = UnixLines(body);
  qsizetype longest = 0, run = 0;
  for (const QChar c : text) {
    run = c == QLatin1Char('`') ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  const QString fence(std::max<qsizetype>(3, longest + 1), QLatin1Char('`'));
  QString out = fence + QLatin1Char('\n') + text;
  if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) out += QLatin1Char('\n');
  return out + fence + QLatin1Char('\n');
}

QString EntryLine(const TExchangeEntry& e) {
  QString line = e.entered ? QStringLiteral("Entered %1").arg(ExportDate(*e.entered)) : QStringLiteral("No date");
  if (e.favorite) line += QStringLiteral(" · favourite");
  return line;
}

QString Markdown(const TExchangeNotebook& notebook) {
  QString out = QStringLiteral("# Notarium notebook\n");
  for (const TExchangeCategory& category : notebook) {
    out +=
        QStringLiteral("\n## %1\n").arg(category.name ? MarkdownInline(*category.name) : QStringLiteral("_No name_"));
    if (category.entries.empty()) out += QStringLiteral("\n_No entries._\n");
    for (const TExchangeEntry& e : category.entries) {
      out += QStringLiteral("\n### %1\n\n%2\n\n")
                 .arg(e.title ? MarkdownInline(*e.title) : QStringLiteral("_No title_"), EntryLine(e));
      out += e.body ? MarkdownBody(*e.body) : QStringLiteral("_No text._\n");
    }
  }
  return out;
}

// ---------------------------------------------------------------- HTML

QString HtmlText(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case '&': out += QStringLiteral("&amp;"); break;
      case '<': out += QStringLiteral("&lt;"); break;
      case '>': out += QStringLiteral("&gt;"); break;
      case '"': out += QStringLiteral("&quot;"); break;
      case '\'': out += QStringLiteral("&#39;"); break;
      default: out += c;
    }
  }
  return out;
}

QString HtmlName(const TExchangeCategory& category) {
  return category.name ? HtmlText(OneLine(*category.name)) : QStringLiteral("<em>No name</em>");
}

QString Html(const TExchangeNotebook& notebook) {
  QString out = QStringLiteral(
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Notarium notebook</title>\n"
      "<style>\npre { white-space: pre-wrap; font-family: inherit; }\n.meta, .none { color: #555; }\n</style>\n"
      "</head>\n<body>\n<h1>Notarium notebook</h1>\n<nav>\n<h2>Categories</h2>\n<ul>\n");
  // Anchors go by position, so that two categories of one name still have one each.
  for (std::size_t i = 0; i < notebook.size(); ++i)
    out += QStringLiteral("<li><a href=\"#category-%1\">%2</a></li>\n").arg(i + 1).arg(HtmlName(notebook[i]));
  out += QStringLiteral("</ul>\n</nav>\n");
  for (std::size_t i = 0; i < notebook.size(); ++i) {
    const TExchangeCategory& category = notebook[i];
    out += QStringLiteral("<section id=\"category-%1\">\n<h2>%2</h2>\n").arg(i + 1).arg(HtmlName(category));
    if (category.entries.empty()) out += QStringLiteral("<p class=\"none\">No entries.</p>\n");
    for (const TExchangeEntry& e : category.entries) {
      out += QStringLiteral("<article>\n<h3>%1</h3>\n<p class=\"meta\">%2</p>\n")
                 .arg(e.title ? HtmlText(OneLine(*e.title)) : QStringLiteral("<em>No title</em>"), EntryLine(e));
      // A reader drops the line break right after <pre>: the one written here, never the body's own first one.
      out += e.body ? QStringLiteral("<pre>\n%1</pre>\n").arg(HtmlText(UnixLines(*e.body)))
                    : QStringLiteral("<p class=\"none\">No text.</p>\n");
      out += QStringLiteral("</article>\n");
    }
    out += QStringLiteral("</section>\n");
  }
  return out + QStringLiteral("</body>\n</html>\n");
}

// ---------------------------------------------------------------- reading an export

// Where in the export a fault is, for the message.
QString Place(int category, const std::optional<QString>& name, int entry = 0) {
  QString where = QStringLiteral("Category %1").arg(category);
  where += name ? QStringLiteral(" \"%1\"").arg(*name) : QStringLiteral(" (no name)");
  if (entry) where += QStringLiteral(", entry %1").arg(entry);
  return where;
}

const char* TypeName(const QJsonValue& v) {
  switch (v.type()) {
    case QJsonValue::Null: return "null";
    case QJsonValue::Bool: return "true or false";
    case QJsonValue::Double: return "a number";
    case QJsonValue::String: return "text";
    case QJsonValue::Array: return "a list";
    case QJsonValue::Object: return "an object";
    default: return "nothing";
  }
}

// Text or null under `key`; a missing key or another type is a fault of `where`.
std::optional<QString> TextOrNull(const QJsonObject& object, const char* key, const QString& where) {
  const QString k = QLatin1String(key);
  if (!object.contains(k)) throw EImportError(QStringLiteral("%1: it has no \"%2\".").arg(where, k));
  const QJsonValue v = object.value(k);
  if (v.isNull()) return std::nullopt;
  if (!v.isString())
    throw EImportError(QStringLiteral("%1: \"%2\" is %3, not text or null.").arg(where, k, QLatin1String(TypeName(v))));
  return v.toString();
}

void CheckLength(const std::optional<QString>& text, const char* what, const QString& where) {
  if (!text) return;
  const qsizetype length = text->toUcs4().size();
  if (length > kMaxText)
    throw EImportError(QStringLiteral("%1: the %2 is %3 characters long; it can hold at most %4.")
                           .arg(where, QLatin1String(what))
                           .arg(length)
                           .arg(kMaxText));
}

void CheckKeys(const QJsonObject& object, const QStringList& known, const QString& where) {
  for (const QString& key : object.keys())
    if (!known.contains(key))
      throw EImportError(QStringLiteral("%1: \"%2\" is not a field of the export.").arg(where, key));
}

TExchangeEntry ParseEntry(const QJsonValue& value, const QString& where) {
  if (!value.isObject())
    throw EImportError(QStringLiteral("%1: it is %2, not an object.").arg(where, QLatin1String(TypeName(value))));
  const QJsonObject o = value.toObject();
  CheckKeys(o, {QStringLiteral("title"), QStringLiteral("body"), QStringLiteral("entered"), QStringLiteral("favorite")},
            where);
  TExchangeEntry e;
  e.title = TextOrNull(o, "title", where);
  CheckLength(e.title, "title", where);
  e.body = TextOrNull(o, "body", where);
  if (const auto entered = TextOrNull(o, "entered", where)) {
    // Read as a clock time, in no zone: the notebook holds the date and time as they were typed.
    const QDate date = QDate::fromString(entered->left(kDateFormat.size()), kDateFormat);
    const QTime time = entered->size() == kDateFormat.size()
                           ? QTime(0, 0)
                           : QTime::fromString(entered->mid(kDateFormat.size()), QStringLiteral("'T'hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
      throw EImportError(
          QStringLiteral("%1: the date \"%2\" is not yyyy-MM-dd or yyyy-MM-ddThh:mm:ss.").arg(where, *entered));
    e.entered = QDateTime(date, time, Qt::UTC);
  }
  const QJsonValue favorite = o.value(QStringLiteral("favorite"));
  if (!favorite.isBool())
    throw EImportError(
        QStringLiteral("%1: \"favorite\" is %2, not true or false.")
            .arg(where, QLatin1String(o.contains(QStringLiteral("favorite")) ? TypeName(favorite) : "missing")));
  e.favorite = favorite.toBool();
  return e;
}

TExchangeCategory ParseCategory(const QJsonValue& value, int number) {
  const QString bare = QStringLiteral("Category %1").arg(number);
  if (!value.isObject())
    throw EImportError(QStringLiteral("%1: it is %2, not an object.").arg(bare, QLatin1String(TypeName(value))));
  const QJsonObject o = value.toObject();
  const QJsonArray entries = o.value(QStringLiteral("entries")).toArray();
  // Entries listed under no category name cannot be placed: the message names the first of them.
  if (!o.contains(QStringLiteral("name")))
    throw EImportError(
        entries.isEmpty()
            ? QStringLiteral("%1: it has no \"name\".").arg(bare)
            : QStringLiteral("%1, entry 1: its category has no \"name\", so the entry has no category.").arg(bare));
  TExchangeCategory category;
  category.name = TextOrNull(o, "name", bare);
  const QString where = Place(number, category.name);
  CheckKeys(o, {QStringLiteral("name"), QStringLiteral("entries")}, where);
  CheckLength(category.name, "name", where);
  if (!o.value(QStringLiteral("entries")).isArray())
    throw EImportError(QStringLiteral("%1: \"entries\" is %2, not a list.")
                           .arg(where, QLatin1String(o.contains(QStringLiteral("entries"))
                                                         ? TypeName(o.value(QStringLiteral("entries")))
                                                         : "missing")));
  for (int j = 0; j < entries.size(); ++j)
    category.entries.push_back(ParseEntry(entries[j], Place(number, category.name, j + 1)));
  return category;
}

// ---------------------------------------------------------------- backup

// Copies the whole of `from` into `to`, a few pages at a time so that a writer of the notebook is held up only for
// a moment. A write from elsewhere makes the engine start the copy over; when writes keep coming, the rest is copied
// in one step, which holds them off until the copy is whole.
void CopyPages(TSqlDatabase& from, TSqlDatabase& to) {
  constexpr int kPagesPerStep = 128;
  constexpr int kRestartsBeforeWhole = 3;
  constexpr int kBusyWaits = 200;  // each after the engine's own wait for the lock
  constexpr int kBusySleepMs = 10;
  sqlite3_backup* backup = sqlite3_backup_init(to.Handle(), "main", from.Handle(), "main");
  if (!backup) throw to.Failure(to.ErrorText());
  int pages = kPagesPerStep, restarts = 0, waits = 0, remaining = -1;
  int rc = SQLITE_OK;
  for (;;) {
    rc = sqlite3_backup_step(backup, pages);
    if (rc == SQLITE_OK) {
      const int left = sqlite3_backup_remaining(backup);
      if (remaining >= 0 && left >= remaining && ++restarts >= kRestartsBeforeWhole) pages = -1;
      remaining = left;
    } else if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++waits <= kBusyWaits) {
      sqlite3_sleep(kBusySleepMs);
    } else {
      break;
    }
  }
  // finish gives the step's failure as its own result, and the destination's message stays readable.
  const int finished = sqlite3_backup_finish(backup);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
    throw EDatabaseError(QStringLiteral("The notebook %1 stayed busy with another program's writing; no copy was made.")
                             .arg(from.Path()));
  if (rc != SQLITE_DONE || finished != SQLITE_OK)
    throw to.Failure(QString::fromUtf8(sqlite3_errstr(rc != SQLITE_DONE ? rc : finished)));
}

}  // namespace

TExchangeNotebook ReadNotebook(const QString& path, const QString& password) {
  TSqlDatabase db(path, password, TSqlDatabase::OpenMode::ReadOnly);
  CheckNotebookTables(db);
  // Categories and entries from one moment of the file, whatever another program writes meanwhile.
  db.Exec(QStringLiteral("BEGIN"));
  TExchangeNotebook notebook;
  QHash<qint64, std::size_t> byKey;
  TSqlStatement categories = db.Prepare(QStringLiteral("SELECT ID, Category FROM kategorije ORDER BY ID"));
  while (categories.Step()) {
    byKey.insert(categories.Column(0).toLongLong(), notebook.size());
    notebook.push_back({OptionalText(categories.Column(1)), {}});
  }
  TSqlStatement notes = db.Prepare(
      QStringLiteral("SELECT Cat_id, Title, Body, Entered, Favorite, NoteID FROM notes ORDER BY Title, NoteID"));
  while (notes.Step()) {
    const auto category = byKey.constFind(notes.Column(0).toLongLong());
    if (category == byKey.constEnd()) continue;  // deleting a category deletes its entries: none is left without one
    TExchangeEntry e;
    e.title = OptionalText(notes.Column(1));
    e.body = OptionalText(notes.Column(2));
    if (const auto entered = OptionalText(notes.Column(3))) {
      e.entered = ParseStoredDateTime(*entered);
      if (!e.entered)
        throw db.Failure(QStringLiteral("entry %1 has the date \"%2\", which does not read as one")
                             .arg(notes.Column(5).toLongLong())
                             .arg(*entered));
    }
    e.favorite = notes.Column(4).toLongLong() != 0;
    notebook[*category].entries.push_back(std::move(e));
  }
  db.Exec(QStringLiteral("COMMIT"));
  return notebook;
}

QByteArray WriteExport(const TExchangeNotebook& notebook, TExportFormat format) {
  switch (format) {
    case TExportFormat::Json: return Json(notebook).toUtf8();
    case TExportFormat::Markdown: return Markdown(notebook).toUtf8();
    case TExportFormat::Html: return Html(notebook).toUtf8();
  }
  return {};
}

TExchangeNotebook ParseJsonExport(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError)
    throw EImportError(QStringLiteral("The export is not whole, readable JSON: %1 at byte %2.")
                           .arg(error.errorString())
                           .arg(error.offset));
  const QString notOurs = QStringLiteral("The file is not a Notarium export: %1.");
  if (!document.isObject()) throw EImportError(notOurs.arg(QStringLiteral("it is not a JSON object")));
  const QJsonObject root = document.object();
  if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormatMarker))
    throw EImportError(notOurs.arg(QStringLiteral("its \"format\" is not \"%1\"").arg(QLatin1String(kFormatMarker))));
  const QJsonValue version = root.value(QStringLiteral("version"));
  if (!version.isDouble() || version.toDouble() != kFormatVersion)
    throw EImportError(
        QStringLiteral("The export's \"version\" is not %1, the one this program reads.").arg(kFormatVersion));
  if (!root.value(QStringLiteral("categories")).isArray())
    throw EImportError(notOurs.arg(QStringLiteral("its \"categories\" is not a list")));
  CheckKeys(root, {QStringLiteral("format"), QStringLiteral("version"), QStringLiteral("categories")},
            QStringLiteral("The export"));
  const QJsonArray categories = root.value(QStringLiteral("categories")).toArray();
  TExchangeNotebook notebook;
  for (int i = 0; i < categories.size(); ++i) notebook.push_back(ParseCategory(categories[i], i + 1));
  return notebook;
}

void ImportNotebook(const TExchangeNotebook& notebook, const QString& path, const QString& password) {
  CreateNotebook(path, password, [&](TSqlDatabase& db) {
    TSqlStatement addCategory = db.Prepare(QStringLiteral("INSERT INTO kategorije (Category) VALUES (?)"));
    TSqlStatement addEntry =
        db.Prepare(QStringLiteral("INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) VALUES (?, ?, ?, ?, ?)"));
    const auto orNull = [](const std::optional<QString>& text) { return text ? QVariant(*text) : QVariant(); };
    // A fault the engine finds names the category or entry, as a fault found in the export does.
    for (std::size_t i = 0; i < notebook.size(); ++i) {
      const TExchangeCategory& category = notebook[i];
      const auto failed = [&](const EDatabaseError& error, int entry) {
        return EDatabaseError(QStringLiteral("%1: %2").arg(Place(int(i) + 1, category.name, entry), error.Message()));
      };
      try {
        addCategory.Bind(1, orNull(category.name));
        addCategory.Step();
        addCategory.Reset();
      } catch (const EDatabaseError& error) {
        throw failed(error, 0);
      }
      const qint64 key = db.LastInsertRowId();
      for (std::size_t j = 0; j < category.entries.size(); ++j) {
        const TExchangeEntry& e = category.entries[j];
        try {
          addEntry.Bind(1, orNull(e.title));
          addEntry.Bind(2, orNull(e.body));
          addEntry.Bind(3, e.entered ? QVariant(FormatStoredDateTime(*e.entered)) : QVariant());
          addEntry.Bind(4, key);
          addEntry.Bind(5, e.favorite ? 1 : 0);
          addEntry.Step();
          addEntry.Reset();
        } catch (const EDatabaseError& error) {
          throw failed(error, int(j) + 1);
        }
      }
    }
  });
}

bool SameFile(const QString& a, const QString& b) {
  struct stat sa, sb;
  return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

TNotebookCounts BackupNotebook(const QString& path, const QString& dest, const QString& password) {
  const QString target = QFileInfo(dest).absoluteFilePath();
  TSqlDatabase from(path, password, TSqlDatabase::OpenMode::ReadOnly);
  CheckNotebookTables(from);
  if (SameFile(from.Path(), target))
    throw EDatabaseError(
        QStringLiteral("%1 is the notebook itself; a backup goes to a file of its own. Nothing was changed.")
            .arg(target));
  const QFileInfo folder(QFileInfo(target).absolutePath());
  if (!folder.exists())
    throw EDatabaseError(QStringLiteral("The folder %1 does not exist; no backup was made.").arg(folder.filePath()));
  if (!folder.isDir())
    throw EDatabaseError(QStringLiteral("%1 is not a folder; no backup was made.").arg(folder.filePath()));
  if (::access(QFile::encodeName(folder.filePath()).constData(), W_OK | X_OK) != 0)
    throw EDatabaseError(
        QStringLiteral("The folder %1 cannot be written to; no backup was made.").arg(folder.filePath()));
  TNotebookCounts counts;
  PlaceNewFile(target, QStringLiteral("backup"), [&](const QString& hidden) {
    {
      // Keyed before the copy, so that the engine writes every page encrypted with the notebook's password.
      TSqlDatabase to(hidden, password, TSqlDatabase::OpenMode::Create);
      to.Exec(QStringLiteral("PRAGMA journal_mode = MEMORY"));
      CopyPages(from, to);
    }
    counts = CheckNotebook(hidden, password);
  });
  return counts;
}
