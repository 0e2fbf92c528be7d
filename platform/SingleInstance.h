// One running copy per user: the first copy listens on a local socket named
// from the window title and the user; a later start sends it the restore
// command and ends.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

class TSingleInstance : public QObject {
  Q_OBJECT
public:
  explicit TSingleInstance(const QString& title);
  ~TSingleInstance() override;

  // The socket's name for this title and the current user. A name set in
  // NOTARIUM_INSTANCE makes it a name of its own, which a test run uses so
  // that it never meets the user's running copy.
  static QString ServerName(const QString& title);
  // Sends the restore command to a running copy; false when none answers.
  bool SignalRunningCopy() const;
  // Starts listening; false when another copy already listens.
  bool Listen();
  // Told when a later start asks for the window.
  std::function<void()> OnRestore;

private:
  QString FName;
  QLocalServer* FServer = nullptr;
};

// The command a later start sends: the restore system command.
inline constexpr const char* kRestoreCommand = "WM_SYSCOMMAND SC_RESTORE\n";
