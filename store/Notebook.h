// The notebook file itself: creating a new, password-protected notebook with
// its two tables, and checking that a file is one.
#pragma once

#include <QString>

#include <functional>

class TSqlDatabase;

// The password every notebook of this program is locked with; the main
// window's connection string carries the same one.
inline const QString kNotebookPassword = QStringLiteral("lavandula");

struct TNotebookCounts {
  qint64 entries = 0;
  qint64 categories = 0;
};

// Creates a notebook with the tables kategorije (ID, Category) and notes
// (its own key, Title, Body, Entered, Cat_id, Favorite), where deleting a
// category deletes its entries in the same operation. The notebook is built
// under a hidden name beside the path and takes the path only when complete
// and only if nothing stands there, a link included: a failed run leaves the
// path as it was, and one killed half-way may leave only its hidden file.
// `fill`, when given, adds to the notebook in the transaction that makes its
// tables, so the notebook takes the path whole or not at all.
// Raises EDatabaseError on failure.
void CreateNotebook(const QString& path, const QString& password = kNotebookPassword,
                    const std::function<void(TSqlDatabase&)>& fill = {});

// Makes a new file at `path` the way CreateNotebook makes a notebook: `build`
// writes it under a hidden name in the same folder (the name it is given), and
// the file takes the path once `build` returns, only if nothing stands there.
// On any failure neither the path nor the hidden file is left. `what` names
// the file in the messages ("notebook", "backup"). Raises EDatabaseError.
void PlaceNewFile(const QString& path, const QString& what, const std::function<void(const QString& hidden)>& build);

// The points CreateNotebook (and every maker of a new file through
// PlaceNewFile) passes, in order: the path was found free, the new file is
// open and still empty (CreateNotebook only), the file is complete but not yet
// at its path. A test hooks in there to act as another process would, or to
// end the run; an empty hook (the default) does nothing.
enum class TCreateStep { Checked, Opened, Built };
void SetCreateNotebookHook(std::function<void(TCreateStep)> hook);

// Opens a notebook, has the engine check the whole file, and counts its
// entries and categories. Raises EDatabaseError saying exactly what is wrong:
// a missing file, another password, a file that is not a notebook, a table or
// field it lacks, or damage (naming the tables it is in).
TNotebookCounts CheckNotebook(const QString& path, const QString& password = kNotebookPassword);

// Raises EDatabaseError, as CheckNotebook does, when the open file lacks a
// table or field of a notebook.
void CheckNotebookTables(TSqlDatabase& db);
