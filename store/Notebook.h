// The notebook file itself: creating a new, password-protected notebook with
// its two tables, and checking that a file is one.
#pragma once

#include <QString>

#include <functional>

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
// Raises EDatabaseError on failure.
void CreateNotebook(const QString& path, const QString& password = kNotebookPassword);

// The points CreateNotebook passes, in order: the path was found free, the new
// file is open and still empty, the notebook is complete but not yet at its
// path. A test hooks in there to act as another process would, or to end the
// run; an empty hook (the default) does nothing.
enum class TCreateStep { Checked, Opened, Built };
void SetCreateNotebookHook(std::function<void(TCreateStep)> hook);

// Opens a notebook, has the engine check the whole file, and counts its
// entries and categories. Raises EDatabaseError saying exactly what is wrong:
// a missing file, another password, a file that is not a notebook, a table or
// field it lacks, or damage (naming the tables it is in).
TNotebookCounts CheckNotebook(const QString& path, const QString& password = kNotebookPassword);
