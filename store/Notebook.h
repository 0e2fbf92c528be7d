// The notebook file itself: creating a new, password-protected notebook with
// its two tables, and checking that a file is one.
#pragma once

#include <QString>

// The password every notebook of this program is locked with; the main
// window's connection string carries the same one.
inline const QString kNotebookPassword = QStringLiteral("lavandula");

struct TNotebookCounts {
  qint64 entries = 0;
  qint64 categories = 0;
};

// Creates a notebook with the tables kategorije (ID, Category) and notes
// (its own key, Title, Body, Entered, Cat_id, Favorite), where deleting a
// category deletes its entries in the same operation. Refuses to overwrite
// an existing file; raises EDatabaseError and leaves nothing behind on failure.
void CreateNotebook(const QString& path, const QString& password = kNotebookPassword);

// Opens a notebook and counts its entries and categories. Raises
// EDatabaseError saying exactly what is wrong: a missing file, another
// password, a file that is not a notebook, or a table or field it lacks.
TNotebookCounts CheckNotebook(const QString& path, const QString& password = kNotebookPassword);
