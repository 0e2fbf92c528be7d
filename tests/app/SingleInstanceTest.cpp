// One copy per user: a second start of the real program brings the running
// copy forward and ends with exit code 0, showing nothing.
#include "Forms.h"
#include "Notebook.h"
#include "SingleInstance.h"
#include "TestModalHost.h"
#include "Unit1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

// Starts the program in a folder of its own on the offscreen platform.
std::unique_ptr<QProcess> StartProgram(const QString& folder) {
  auto p = std::make_unique<QProcess>();
  p->setWorkingDirectory(folder);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  p->setProcessEnvironment(env);
  p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p->start(QStringLiteral(NOTARIUM_EXE), {});
  return p;
}

// Waits while the event loop runs, so that this process's own server can
// answer the program it started.
bool WaitForExit(QProcess& p, int ms) {
  QElapsedTimer t;
  t.start();
  while (p.state() != QProcess::NotRunning && t.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    p.waitForFinished(20);
  }
  return p.state() == QProcess::NotRunning;
}

bool ServerAnswers(const QString& name) {
  QLocalSocket s;
  s.connectToServer(name);
  const bool ok = s.waitForConnected(200);
  s.abort();
  return ok;
}

TEST(SingleInstance, NameDependsOnTitleAndIsSafe) {
  const QString name = TSingleInstance::ServerName(kApplicationTitle);
  EXPECT_EQ(name, TSingleInstance::ServerName(kApplicationTitle));
  EXPECT_NE(name, TSingleInstance::ServerName(QStringLiteral("Notarium 2.0")));
  EXPECT_FALSE(name.contains(QLatin1Char(' ')));
  EXPECT_FALSE(name.contains(QLatin1Char('/')));
}

TEST(SingleInstance, TestsListenUnderANameOfTheirOwn) {
  const QString testName = TSingleInstance::ServerName(kApplicationTitle);
  const QByteArray instance = qgetenv("NOTARIUM_INSTANCE");
  qunsetenv("NOTARIUM_INSTANCE");
  const QString usersName = TSingleInstance::ServerName(kApplicationTitle);
  qputenv("NOTARIUM_INSTANCE", instance);
  EXPECT_NE(testName, usersName);

  // The user's own copy runs (played here unless it really runs): the tests
  // neither signal it nor fail to listen.
  QLocalServer users;
  users.listen(usersName);
  TSingleInstance mine(kApplicationTitle);
  EXPECT_FALSE(mine.SignalRunningCopy());
  EXPECT_TRUE(mine.Listen());
  QCoreApplication::processEvents();
  EXPECT_FALSE(users.hasPendingConnections());
}

TEST(SingleInstance, SecondRealStartRestoresTheRunningWindowAndExitsZero) {
  TestModalHost host;
  // This test process plays the running copy: it listens under the
  // program's own name and has a minimised main window.
  TSingleInstance first(kApplicationTitle);
  ASSERT_TRUE(first.Listen());
  TForm window(Application);
  window.SetCaption(kApplicationTitle);
  window.Show();
  window.SetWindowState(wsMinimized);
  ASSERT_EQ(window.WindowState(), wsMinimized);
  int restores = 0;
  first.OnRestore = [&] {
    ++restores;
    window.Restore();
  };

  QTemporaryDir folder;
  auto second = StartProgram(folder.path());
  ASSERT_TRUE(second->waitForStarted(5000));
  ASSERT_TRUE(WaitForExit(*second, 10000)) << "the second start did not end";
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  QTest::qWait(50);
  QCoreApplication::processEvents();
  EXPECT_EQ(restores, 1);
  EXPECT_NE(window.WindowState(), wsMinimized) << "the running copy's window is restored";
  EXPECT_TRUE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
      << "the second start leaves nothing behind";
}

TEST(SingleInstance, TwoRealStartsLeaveOneRunningCopy) {
  QTemporaryDir folder;
  CreateNotebook(folder.filePath(QStringLiteral("db.mdb")));
  const QString name = TSingleInstance::ServerName(kApplicationTitle);
  ASSERT_FALSE(ServerAnswers(name));

  auto first = StartProgram(folder.path());
  ASSERT_TRUE(first->waitForStarted(5000));
  struct Stop {
    QProcess* p;
    ~Stop() {
      p->kill();
      p->waitForFinished(5000);
    }
  } stop{first.get()};
  QElapsedTimer t;
  t.start();
  while (!ServerAnswers(name) && t.elapsed() < 10000) QTest::qWait(50);
  ASSERT_TRUE(ServerAnswers(name)) << "the first copy does not listen";

  auto second = StartProgram(folder.path());
  ASSERT_TRUE(second->waitForStarted(5000));
  ASSERT_TRUE(second->waitForFinished(10000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0);
  EXPECT_EQ(first->state(), QProcess::Running) << "the running copy goes on";
  EXPECT_TRUE(ServerAnswers(name));
}

TEST(SingleInstance, StaleSocketOfACrashedCopyIsTakenOver) {
  // A copy that ended abnormally leaves its socket file behind, with nobody
  // listening on it.
  const QString title = QStringLiteral("Notarium stale test");
  const QString name = TSingleInstance::ServerName(title);
  const QByteArray path = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name);
  QLocalServer::removeServer(name);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(static_cast<size_t>(path.size()), sizeof(addr.sun_path));
  std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  ::close(fd);
  ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));

  TSingleInstance next(title);
  EXPECT_FALSE(next.SignalRunningCopy());
  EXPECT_TRUE(next.Listen()) << "the stale socket is replaced";
  EXPECT_TRUE(ServerAnswers(name));
}

}  // namespace
