// The store benchmark: a generated notebook of realistic size, and the times
// a user feels: start-up's opening of the notebook, listing a category,
// searching it, storing an entry and deleting a category with its entries.
//
//   notarium-bench [ENTRIES] [CATEGORIES]     (defaults 50000 and 20)
#include "ADODB.h"
#include "JetSql.h"
#include "Notebook.h"
#include "Sqlite.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char* const kWords[] = {"kuća",    "posao",     "čaša",    "ćup",     "šuma",   "žaba",    "đak",
                              "recept",  "sastanak",  "račun",   "lozinka", "adresa", "telefon", "knjiga",
                              "film",    "putovanje", "ljekar",  "auto",    "ključ",  "banka",   "note",
                              "meeting", "password",  "address", "invoice", "trip"};

QString Words(QRandomGenerator& rng, int count) {
  QStringList out;
  for (int i = 0; i < count; ++i) out << QString::fromUtf8(kWords[rng.bounded(static_cast<int>(std::size(kWords)))]);
  return out.join(QLatin1Char(' '));
}

// Runs `action` several times and reports the median, which a stray slow run
// does not move.
template <class F>
double MedianMs(int runs, F&& action) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    action();
    times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Report(const char* what, double ms, const QString& detail = QString()) {
  std::printf("  %-44s %9.2f ms  %s\n", what, ms, detail.toUtf8().constData());
}

void Run(TADOQuery* q, const QString& text) {
  q->Close();
  q->SQL()->Clear();
  q->SQL()->Add(text);
  q->Open();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const int entries = args.size() > 1 ? args[1].toInt() : 50000;
  const int categories = args.size() > 2 ? args[2].toInt() : 20;
  if (entries <= 0 || categories <= 0) {
    std::fputs("usage: notarium-bench [ENTRIES] [CATEGORIES]\n", stderr);
    return 2;
  }
  QTemporaryDir folder;
  QDir::setCurrent(folder.path());
  const QString file = folder.filePath(QStringLiteral("db.mdb"));

  std::printf("Notarium store benchmark: %d entries in %d categories (median of repeated runs)\n", entries, categories);
  QElapsedTimer fill;
  fill.start();
  try {
    CreateNotebook(file);
    {
      TSqlDatabase db(file, kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
      QRandomGenerator rng(20261211);
      db.Exec(QStringLiteral("BEGIN"));
      TSqlStatement cat = db.Prepare(QStringLiteral("INSERT INTO kategorije (Category) VALUES (?)"));
      for (int c = 1; c <= categories; ++c) {
        cat.Bind(1, QStringLiteral("Kategorija %1").arg(c));
        cat.Step();
        cat.Reset();
      }
      TSqlStatement note = db.Prepare(QStringLiteral(
          "INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) VALUES (?, ?, '2026-12-11', ?, ?)"));
      for (int i = 0; i < entries; ++i) {
        note.Bind(1, Words(rng, 3) + QLatin1Char(' ') + QString::number(i));
        note.Bind(2, Words(rng, 80));
        note.Bind(3, QVariant(qint64(1 + i % categories)));
        note.Bind(4, QVariant(qint64(i % 7 == 0 ? 1 : 0)));
        note.Step();
        note.Reset();
      }
      db.Exec(QStringLiteral("COMMIT"));
    }
    Report("generating the notebook (not a user figure)", static_cast<double>(fill.elapsed()),
           QStringLiteral("%1 KiB").arg(QFileInfo(file).size() / 1024));

    TComponent owner;
    auto* connection = new TADOConnection(&owner);
    connection->SetConnectionString(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=.\\db.mdb;Jet OLEDB:Database Password=lavandula"));
    {
      const double ms = MedianMs(5, [&] {
        connection->Close();
        connection->Open();
      });
      Report("start-up: open the notebook (key derivation)", ms);
    }
    auto* table = new TADOTable(&owner);
    table->SetConnection(connection);
    table->SetTableName(QStringLiteral("kategorije"));
    {
      const double ms = MedianMs(9, [&] {
        table->Close();
        table->Open();
      });
      Report("start-up: open the category table", ms);
    }

    auto* list = new TADOQuery(&owner);
    list->SetConnection(connection);
    {
      const double ms =
          MedianMs(9, [&] { Run(list, QStringLiteral("select * from notes where Cat_id=3 order by Title")); });
      Report("choose a category: list its entries by title", ms, QStringLiteral("%1 entries").arg(list->RecordCount()));
    }
    const QString word = EscapeJetLikeText(QString::fromUtf8("ČAŠA"));
    {
      const double ms = MedianMs(9, [&] {
        Run(list, QStringLiteral("select * from notes where (Title like \"%") + word +
                      QStringLiteral("%\" or Body like \"%") + word +
                      QStringLiteral("%\") and Cat_id=3 order by Title"));
      });
      Report("search a category's titles and bodies", ms, QStringLiteral("%1 found").arg(list->RecordCount()));
    }
    const QString rare = EscapeJetLikeText(QStringLiteral("xyz-not-there"));
    {
      const double ms = MedianMs(9, [&] {
        Run(list, QStringLiteral("select * from notes where (Title like \"%") + rare +
                      QStringLiteral("%\" or Body like \"%") + rare +
                      QStringLiteral("%\") and Cat_id=3 order by Title"));
      });
      Report("search for a text no entry holds", ms);
    }
    auto* favourites = new TADOQuery(&owner);
    favourites->SetConnection(connection);
    {
      const double ms = MedianMs(9, [&] {
        Run(favourites, QStringLiteral("select * from notes where Cat_id = 3  and Favorite=1 order by Title"));
      });
      Report("list a category's favourites", ms, QStringLiteral("%1 favourites").arg(favourites->RecordCount()));
    }

    auto* notes = new TADOTable(&owner);
    notes->SetConnection(connection);
    notes->SetTableName(QStringLiteral("notes"));
    {
      const double ms = MedianMs(3, [&] {
        notes->Close();
        notes->Open();
      });
      Report("open the notes table for a new entry", ms);
    }
    int n = 0;
    {
      const double ms = MedianMs(21, [&] {
        notes->Append();
        notes->FieldByName(QStringLiteral("Title"))->SetAsString(QStringLiteral("Novi zapis %1").arg(++n));
        notes->FieldByName(QStringLiteral("Body"))->SetAsString(QStringLiteral("tekst"));
        notes->FieldByName(QStringLiteral("Entered"))->SetAsDate(QDate::currentDate());
        notes->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(3);
        notes->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(0);
        notes->Post();
      });
      Report("store a new entry", ms);
    }
    Run(list, QStringLiteral("select * from notes where Cat_id=3 order by Title"));
    {
      const double ms = MedianMs(21, [&] {
        list->Edit();
        list->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(1);
        list->Post();
      });
      Report("mark the current entry as a favourite", ms);
    }
    {
      const double ms = MedianMs(9, [&] {
        list->Close();
        list->Open();
      });
      Report("re-run the list after a change", ms);
    }
    table->Close();
    table->Open();
    table->Last();
    const QString removed = table->FieldByName(QStringLiteral("Category"))->AsString();
    QElapsedTimer del;
    del.start();
    table->Delete();
    table->Close();
    table->Open();
    Report("delete a category with its entries", static_cast<double>(del.nsecsElapsed()) / 1e6, removed);
    const TNotebookCounts counts = CheckNotebook(file);
    std::printf("  left: %lld entries in %lld categories\n", static_cast<long long>(counts.entries),
                static_cast<long long>(counts.categories));
  } catch (const Exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.Message().toUtf8().constData());
    return 1;
  }
  return 0;
}
