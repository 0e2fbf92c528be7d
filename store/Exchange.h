// The notebook's way out and back in: every category and entry written as our
// JSON exchange format or as a readable Markdown or HTML document, a new
// notebook made from such a JSON export, and a consistent copy of the file.
//
// The JSON export, in UTF-8:
//
//   {"format": "notarium-export", "version": 1,
//    "categories": [{"name": "Posao",
//                    "entries": [{"title": "...", "body": "...",
//                                 "entered": "2024-05-01", "favorite": true}]}]}
//
// Categories come in the order of their keys, entries by title and then key.
// A category name, title, body or date the notebook does not hold is null;
// "entered" is "yyyy-MM-dd", or "yyyy-MM-ddThh:mm:ss" when the entry has a
// time of day other than midnight.
#pragma once

#include "Notebook.h"
#include "Sqlite.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

struct TExchangeEntry {
  std::optional<QString> title;
  std::optional<QString> body;
  std::optional<QDateTime> entered;
  bool favorite = false;
};

struct TExchangeCategory {
  std::optional<QString> name;
  std::vector<TExchangeEntry> entries;
};

using TExchangeNotebook = std::vector<TExchangeCategory>;

enum class TExportFormat { Json, Markdown, Html };

// An export that cannot be read back: the message names the entry (its
// category and its number there, from 1) or the place in the text, and why.
class EImportError : public Exception {
  using Exception::Exception;
};

// Every category and entry of the notebook at `path`, read in one snapshot
// without writing to the file. Raises EDatabaseError with CheckNotebook's
// messages for a missing file, another password or a file that is no notebook.
TExchangeNotebook ReadNotebook(const QString& path, const QString& password = kNotebookPassword);

// The notebook as a document of the format, in UTF-8.
QByteArray WriteExport(const TExchangeNotebook& notebook, TExportFormat format);

// Reads a JSON export. Raises EImportError for text that is not JSON, JSON of
// another shape, and values a notebook cannot hold.
TExchangeNotebook ParseJsonExport(const QByteArray& json);

// Makes a new notebook at `path` holding `notebook`, all or nothing, as
// CreateNotebook does; an existing path is refused. Raises EDatabaseError.
void ImportNotebook(const TExchangeNotebook& notebook, const QString& path,
                    const QString& password = kNotebookPassword);

// Copies the notebook at `path` to `dest` through the engine's online backup,
// consistent even while another connection writes to it, encrypted with the
// same password, and checks the copy opens as a notebook; returns the copy's
// counts. The copy takes `dest` only when complete; an existing `dest`, the
// notebook itself under any name, and a missing or unwritable folder are
// refused. The notebook is only read. Raises EDatabaseError.
TNotebookCounts BackupNotebook(const QString& path, const QString& dest, const QString& password = kNotebookPassword);

// Whether the two paths name one file (through a link or another path too);
// false when either does not exist.
bool SameFile(const QString& a, const QString& b);
