// Post under interference between writing the row and reading it back: a
// failure means nothing was stored and the dataset keeps the pending row; a
// success means the row is stored once.
#include "StoreFixture.h"

#include "Sqlite.h"

#include <sqlite3.h>

namespace {

enum class Interference { StepFails, OtherConnectionLocks };

struct Case {
  const char* name;
  bool inserting;
  Interference interference;
};

const Case kCases[] = {
    {"new entry, the step after the write fails", true, Interference::StepFails},
    {"new entry, another connection takes the write lock", true, Interference::OtherConnectionLocks},
    {"changed title, the step after the write fails", false, Interference::StepFails},
    {"changed title, another connection takes the write lock", false, Interference::OtherConnectionLocks},
};

class PostTest : public StoreTest {
protected:
  void TearDown() override {
    SetPostWrittenHook({});
    StoreTest::TearDown();
  }

  qint64 Count(const QString& where) {
    TSqlDatabase db(File(), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    TSqlStatement st = db.Prepare(QStringLiteral("SELECT count(*) FROM notes WHERE ") + where);
    st.Step();
    return st.Column(0).toLongLong();
  }
};

}  // namespace

TEST_F(PostTest, FailureStoresNothingAndTheRetryStoresOnce) {
  const qint64 cat = AddCategory(QStringLiteral("Posao"));
  // The engine answers "database is locked" at once instead of waiting.
  sqlite3_busy_timeout(connection->Database().Handle(), 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const QString title = QString::fromLatin1(c.name);
    const QString before = QStringLiteral("before: ") + title;
    if (!c.inserting) AddEntry(cat, before, QStringLiteral("body"));
    TADOTable* t = Table(QStringLiteral("ADOTable%1").arg(++made), QStringLiteral("notes"));
    t->Open();
    if (c.inserting) {
      t->Append();
      t->FieldByName(QStringLiteral("Cat_id"))->SetAsInteger(cat);
      t->FieldByName(QStringLiteral("Favorite"))->SetAsInteger(0);
    } else {
      ASSERT_TRUE(t->Locate(QStringLiteral("Title"), before));
      t->Edit();
    }
    t->FieldByName(QStringLiteral("Title"))->SetAsString(title);

    std::unique_ptr<TSqlDatabase> other;
    SetPostWrittenHook([&](TCustomADODataSet&) {
      if (c.interference == Interference::StepFails) throw EDatabaseError(QStringLiteral("disk I/O error"));
      other = std::make_unique<TSqlDatabase>(File(), kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
      sqlite3_busy_timeout(other->Handle(), 0);
      try {
        other->Exec(QStringLiteral("BEGIN EXCLUSIVE"));
      } catch (const EDatabaseError&) {
        other.reset();  // the write lock was not to be had
      }
    });
    bool stored = true;
    try {
      t->Post();
    } catch (const EDatabaseError&) {
      stored = false;
    }
    SetPostWrittenHook({});
    other.reset();
    const QString where = QStringLiteral("Title = '%1'").arg(title);
    if (stored) {
      EXPECT_EQ(t->State(), dsBrowse);
      EXPECT_EQ(Count(where), 1);
      continue;
    }
    EXPECT_EQ(Count(where), 0) << "a failed Post stored nothing";
    EXPECT_EQ(t->State(), c.inserting ? dsInsert : dsEdit) << "the row is still pending";
    t->Post();
    EXPECT_EQ(Count(where), 1) << "the retry stores the row once";
  }
}
