#include "Startup.h"

#include "Forms.h"
#include "Notebook.h"
#include "SingleInstance.h"
#include "Unit1.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

namespace {

// The program's icon in every size it is drawn in; the desktop picks the one it needs.
QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/pictures/icon-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace

QString UserNotebookFolder() {
  QString base = qEnvironmentVariable("XDG_DATA_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
  return base + QStringLiteral("/notarium");
}

void EnterUserNotebookFolder() {
  const QString folder = UserNotebookFolder();
  if (!QDir().mkpath(folder)) throw Exception(QStringLiteral("Cannot create the notebook folder %1").arg(folder));
  const QString notebook = QDir(folder).filePath(QStringLiteral("db.mdb"));
  if (!QFileInfo::exists(notebook)) CreateNotebook(notebook);
  QDir::setCurrent(folder);
}

int RunNotarium(int argc, char** argv) {
  QApplication toolkit(argc, argv);
  toolkit.setWindowIcon(ProgramIcon());
  TApplication app;
  app.SetTitle(QString());

  // A copy that already runs is brought forward, and this start ends.
  TSingleInstance instance(kApplicationTitle);
  if (instance.SignalRunningCopy()) return 0;
  if (!instance.Listen()) return 0;
  instance.OnRestore = [&app] { app.Restore(); };

  app.SetTitle(kApplicationTitle);
  app.Initialize();
  app.SetTitle(kApplicationTitle);
  try {
    // Started from the desktop's menu: the user's own notebook, made empty
    // the first time. Started in a folder, the notebook of that folder.
    if (toolkit.arguments().contains(QStringLiteral("--user-notebook"))) EnterUserNotebookFolder();
    app.CreateForm(Form1);
    app.Run();
  } catch (...) {
    app.HandleException(std::current_exception());
  }
  Form1 = nullptr;
  return 0;
}
