// notarium-db: makes a new notebook, or checks an existing one.
//
//   notarium-db create [FILE]   a new, empty, password-protected notebook
//   notarium-db check [FILE]    counts of entries and categories, or what is wrong
//
// FILE is ./db.mdb when not given.
#include "Notebook.h"
#include "Sqlite.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

int Usage() {
  std::fputs(
      "usage: notarium-db create [FILE]\n"
      "       notarium-db check [FILE]\n"
      "FILE is ./db.mdb when not given.\n",
      stderr);
  return 2;
}

void Print(FILE* out, const QString& text) { std::fprintf(out, "%s\n", text.toLocal8Bit().constData()); }

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty() || args.size() > 2) return Usage();
  const QString file = QFileInfo(args.size() == 2 ? args[1] : QStringLiteral("db.mdb")).absoluteFilePath();
  try {
    if (args[0] == QLatin1String("create")) {
      CreateNotebook(file);
      Print(stdout, QStringLiteral("Created the empty notebook %1.").arg(file));
      return 0;
    }
    if (args[0] == QLatin1String("check")) {
      const TNotebookCounts counts = CheckNotebook(file);
      Print(stdout,
            QStringLiteral("%1: %2 entries in %3 categories.").arg(file).arg(counts.entries).arg(counts.categories));
      return 0;
    }
  } catch (const Exception& e) {
    Print(stderr, e.Message());
    return 1;
  }
  return Usage();
}
