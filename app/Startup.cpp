#include "Startup.h"

#include "Forms.h"
#include "SingleInstance.h"
#include "Unit1.h"

#include <QApplication>

int RunNotarium(int argc, char** argv) {
  QApplication toolkit(argc, argv);
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
    app.CreateForm(Form1);
    app.Run();
  } catch (...) {
    app.HandleException(std::current_exception());
  }
  Form1 = nullptr;
  return 0;
}
