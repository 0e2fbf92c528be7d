// Making a notebook while something else takes its path, and a run killed
// half-way: nothing that was there is lost, and what is left is either no
// file or a complete notebook.
#include "Notebook.h"
#include "Sqlite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

namespace {

constexpr TCreateStep kSteps[] = {TCreateStep::Checked, TCreateStep::Opened, TCreateStep::Built};

const char* StepName(TCreateStep step) {
  switch (step) {
    case TCreateStep::Checked: return "checked";
    case TCreateStep::Opened: return "opened";
    case TCreateStep::Built: return "built";
  }
  return "?";
}

// What stands at the path before the run, or is put there while it runs.
enum class Occupant { Notebook, Text, DanglingLink };

struct Occupied {
  Occupant kind;
  const char* name;
};

const Occupied kOccupants[] = {
    {Occupant::Notebook, "a notebook with entries"},
    {Occupant::Text, "a text file"},
    {Occupant::DanglingLink, "a link to nothing"},
};

class CreateTest : public ::testing::Test {
protected:
  void TearDown() override { SetCreateNotebookHook({}); }

  QString Path(const QString& name) const { return QDir(folder.path()).absoluteFilePath(name); }

  // A notebook of someone else's, with one category and one entry in it.
  QString Theirs() {
    const QString file = Path(QStringLiteral("theirs.mdb"));
    if (QFile::exists(file)) return file;
    CreateNotebook(file);
    TSqlDatabase db(file, kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    db.Exec(QStringLiteral("INSERT INTO kategorije (Category) VALUES ('Kept')"));
    db.Exec(QStringLiteral(
        "INSERT INTO notes (Title, Body, Entered, Cat_id, Favorite) VALUES ('t', 'b', '2024-01-01', 1, 0)"));
    return file;
  }

  // Puts the occupant at `path` the way another process would: only where
  // nothing is yet. Returns whether it took the path.
  bool Occupy(Occupant kind, const QString& path) {
    const QByteArray target = QFile::encodeName(path);
    switch (kind) {
      case Occupant::Notebook: return ::link(QFile::encodeName(Theirs()).constData(), target.constData()) == 0;
      case Occupant::Text: {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
        f.write("precious");
        return true;
      }
      case Occupant::DanglingLink:
        return ::symlink(QFile::encodeName(Path(QStringLiteral("gone/nowhere.mdb"))).constData(), target.constData()) ==
               0;
    }
    return false;
  }

  // The occupant is still there, unchanged.
  void ExpectIntact(Occupant kind, const QString& path) {
    const QFileInfo info(path);
    switch (kind) {
      case Occupant::Notebook: {
        const TNotebookCounts counts = CheckNotebook(path);
        EXPECT_EQ(counts.entries, 1);
        EXPECT_EQ(counts.categories, 1);
        break;
      }
      case Occupant::Text: {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("precious"));
        break;
      }
      case Occupant::DanglingLink:
        EXPECT_TRUE(info.isSymLink());
        EXPECT_EQ(info.symLinkTarget(), Path(QStringLiteral("gone/nowhere.mdb")));
        break;
    }
  }

  // Only the given names are left in the folder: no half-made files.
  void ExpectFolderHolds(QStringList names) {
    QStringList present =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    present.sort();
    names.sort();
    EXPECT_EQ(present, names);
  }

  QTemporaryDir folder;
};

}  // namespace

TEST_F(CreateTest, NeverRemovesWhatWasAlreadyThere) {
  for (const Occupied& o : kOccupants) {
    SCOPED_TRACE(o.name);
    const QString file = Path(QStringLiteral("before.mdb"));
    ASSERT_TRUE(Occupy(o.kind, file));
    try {
      CreateNotebook(file);
      ADD_FAILURE() << "made a notebook over what was there";
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QStringLiteral("already exists"))) << e.Message().toStdString();
    }
    ExpectIntact(o.kind, file);
    QFile::remove(file);
  }
}

// Another process takes the path at each step of the run: either it got there
// first and keeps what it put there, or the run got there first and the
// other found the path taken.
TEST_F(CreateTest, SomethingArrivingMidwayIsKept) {
  Theirs();
  for (const Occupied& o : kOccupants) {
    for (const TCreateStep step : kSteps) {
      SCOPED_TRACE(testing::Message() << o.name << " arrives once " << StepName(step));
      const QString file = Path(QStringLiteral("db.mdb"));
      bool arrived = false;
      SetCreateNotebookHook([&](TCreateStep at) {
        if (at == step) arrived = Occupy(o.kind, file);
      });
      bool created = false;
      try {
        CreateNotebook(file);
        created = true;
      } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("already exists"))) << e.Message().toStdString();
      }
      SetCreateNotebookHook({});
      EXPECT_NE(created, arrived) << "exactly one of the two has the path";
      if (arrived) {
        ExpectIntact(o.kind, file);
      } else {
        EXPECT_EQ(CheckNotebook(file).entries, 0);
      }
      ExpectFolderHolds({QStringLiteral("theirs.mdb"), QStringLiteral("db.mdb")});
      QFile::remove(file);
    }
  }
}

// A run killed at any step leaves no file or a complete notebook, and a new
// run then makes one.
TEST_F(CreateTest, KilledRunLeavesNoFileOrANotebook) {
  for (const TCreateStep step : kSteps) {
    SCOPED_TRACE(StepName(step));
    const QString file = Path(QStringLiteral("db.mdb"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SetCreateNotebookHook([step](TCreateStep at) {
        if (at == step) ::raise(SIGKILL);
      });
      try {
        CreateNotebook(file);
      } catch (...) {
        ::_exit(1);
      }
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the run was killed at that step";
    if (QFileInfo::exists(file)) {
      EXPECT_NO_THROW(CheckNotebook(file)) << "what is left at the path is a whole notebook";
    } else {
      EXPECT_NO_THROW(CreateNotebook(file)) << "the path is free for the next run";
    }
    EXPECT_EQ(CheckNotebook(file).entries, 0);
    QFile::remove(file);
  }
}
