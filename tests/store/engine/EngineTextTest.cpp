// What passes between the datasets and the engine: the engine's failures name
// the notebook, and texts reach it as they were typed.
#include "StoreFixture.h"

#include "JetSql.h"
#include "Sqlite.h"

#include <sqlite3.h>

#include <functional>

TEST_F(StoreTest, EngineFailuresNameTheNotebook) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  std::unique_ptr<TSqlDatabase> other;
  struct Row {
    const char* name;
    std::function<void()> act;
    const char* says;
  };
  const Row rows[] = {
      {"a malformed query", [&] { Run(Query(QStringLiteral("naslov")), QStringLiteral("select * from nowhere")); },
       "no such table"},
      {"a value the field cannot take", [&] { AddCategory(QString(300, u'x')); }, "constraint failed"},
      {"another connection holds the write lock",
       [&] {
         other = std::make_unique<TSqlDatabase>(File(), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
         other->Exec(QStringLiteral("BEGIN EXCLUSIVE"));
         sqlite3_busy_timeout(connection->Database().Handle(), 0);
         AddEntry(cat, QStringLiteral("t"), QStringLiteral("b"));
       },
       "database is locked"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    try {
      row.act();
      ADD_FAILURE() << "the engine refused nothing";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QString::fromLatin1(row.says))) << e.Message().toStdString();
      EXPECT_TRUE(e.Message().contains(QFileInfo(File()).absoluteFilePath())) << e.Message().toStdString();
    }
  }
}

// A lone UTF-16 surrogate cannot be written as UTF-8; it must not turn into
// another character that the search then finds.
TEST_F(StoreTest, LoneSurrogateInASearchFindsNoOtherCharacter) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  AddEntry(cat, QStringLiteral("question mark"), QStringLiteral("a?b"));
  AddEntry(cat, QStringLiteral("nothing between"), QStringLiteral("ab"));
  for (const char16_t surrogate : {u'\xD800', u'\xDC00'}) {
    SCOPED_TRACE(int(surrogate));
    const QString text = QStringLiteral("a") + QChar(surrogate) + QStringLiteral("b");
    TADOQuery* q = Query(QStringLiteral("naslov%1").arg(++made));
    Run(q, QStringLiteral("select * from notes where (Title like \"%") + EscapeJetLikeText(text) +
               QStringLiteral("%\" or Body like \"%") + EscapeJetLikeText(text) + QStringLiteral("%\") and Cat_id=") +
               QString::number(cat) + QStringLiteral(" order by Title"));
    EXPECT_EQ(Titles(q), QStringList());
  }
}
