#include "SingleInstance.h"

#include "Dispatch.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {
constexpr int kConnectTimeoutMs = 1000;
}

TSingleInstance::TSingleInstance(const QString& title) : FName(ServerName(title)) {}

TSingleInstance::~TSingleInstance() {
  if (FServer) FServer->close();
}

QString TSingleInstance::ServerName(const QString& title) {
  // The title may hold any character; the hash makes a safe socket name.
  QByteArray key = title.toUtf8() + '\0' + QByteArray::number(static_cast<qulonglong>(::getuid()));
  const QByteArray instance = qgetenv("NOTARIUM_INSTANCE");
  if (!instance.isEmpty()) key += '\0' + instance;
  return QStringLiteral("notarium-") +
         QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

bool TSingleInstance::SignalRunningCopy() const {
  QLocalSocket socket;
  socket.connectToServer(FName);
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kRestoreCommand);
  socket.waitForBytesWritten(kConnectTimeoutMs);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kConnectTimeoutMs);
  return true;
}

bool TSingleInstance::Listen() {
  FServer = new QLocalServer(this);
  FServer->setSocketOptions(QLocalServer::UserAccessOption);
  if (!FServer->listen(FName)) {
    // A copy that answers is running; a socket nobody answers on was left
    // behind by a copy that ended abnormally.
    if (SignalRunningCopy()) return false;
    QLocalServer::removeServer(FName);
    if (!FServer->listen(FName)) return false;
  }
  connect(FServer, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = FServer->nextPendingConnection()) {
      connect(s, &QLocalSocket::readyRead, s, [this, s] {
        while (s->canReadLine()) {
          if (s->readLine() == kRestoreCommand && OnRestore) Dispatch([this] { OnRestore(); });
        }
      });
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    }
  });
  return true;
}
