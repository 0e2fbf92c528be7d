// Where an installed Notarium keeps its notebook and its settings.
#include "Notebook.h"
#include "Sqlite.h"
#include "Startup.h"
#include "rsIniData.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Sets an environment variable for one test and puts it back.
class ScopedEnv {
public:
  ScopedEnv(const char* name, const QByteArray& value) : FName(name), FHad(qEnvironmentVariableIsSet(name)) {
    FOld = qgetenv(name);
    qputenv(name, value);
  }
  ~ScopedEnv() {
    if (FHad)
      qputenv(FName, FOld);
    else
      qunsetenv(FName);
  }

private:
  const char* FName;
  bool FHad;
  QByteArray FOld;
};

TEST(UserFolders, TheDesktopStartMakesAndKeepsTheUsersNotebook) {
  QTemporaryDir data;
  ScopedEnv env("XDG_DATA_HOME", data.path().toUtf8());
  const QString previous = QDir::currentPath();
  const QString folder = data.filePath(QStringLiteral("notarium"));
  EXPECT_EQ(UserNotebookFolder(), folder);

  EnterUserNotebookFolder();
  EXPECT_EQ(QDir::currentPath(), folder);
  const QString notebook = QDir(folder).filePath(QStringLiteral("db.mdb"));
  EXPECT_EQ(CheckNotebook(notebook).entries, 0) << "an empty notebook at the first start";
  {
    TSqlDatabase db(notebook, kNotebookPassword, TSqlDatabase::OpenMode::MustExist);
    db.Exec(QStringLiteral("INSERT INTO kategorije (Category) VALUES ('Posao')"));
  }
  QDir::setCurrent(previous);
  EnterUserNotebookFolder();
  EXPECT_EQ(CheckNotebook(notebook).categories, 1) << "the next start keeps it";
  QDir::setCurrent(previous);
}

TEST(UserFolders, DefaultsAreTheXdgBaseDirectories) {
  for (const QByteArray& value : {QByteArray(), QByteArray("relative/path")}) {
    ScopedEnv data("XDG_DATA_HOME", value);
    EXPECT_EQ(UserNotebookFolder(), QDir::homePath() + QStringLiteral("/.local/share/notarium")) << value.constData();
  }
  QTemporaryDir config;
  ScopedEnv env("XDG_CONFIG_HOME", config.path().toUtf8());
  const QString folder = UserSettingsFolder();
  EXPECT_EQ(folder, config.filePath(QStringLiteral("notarium")));
  EXPECT_TRUE(QFileInfo(folder).isDir()) << "made when needed";
}

}  // namespace
