#include "app/SingleInstance.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kLockTimeoutMs = 10000;
const QByteArray kRestoreRequest = "restore\n";
} // namespace

SingleInstance::SingleInstance(const QString& folder) : folder(folder) {
    connect(&server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { ReadRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            ReadRequest(socket);
        }
    });
}

QString SingleInstance::SocketPath() const {
    return folder + QStringLiteral("/instance");
}

SingleInstance::Role SingleInstance::Claim() {
    errorText = ::PreparePrivateFolder(folder);
    if (!errorText.isEmpty())
        return Role::Unavailable;

    // Two starts at the same moment must not both decide that nobody listens yet.
    QLockFile lock(folder + QStringLiteral("/instance.lock"));
    if (!lock.tryLock(kLockTimeoutMs)) {
        errorText = QStringLiteral("another start holds the instance lock");
        return Role::Unavailable;
    }
    if (AskRunningInstanceToRestore())
        return Role::Secondary;
    return Listen() ? Role::Primary : Role::Unavailable;
}

bool SingleInstance::AskRunningInstanceToRestore() {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kRestoreRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::Listen() {
    // Nobody answered, so a socket file still there was left by a run that crashed.
    QLocalServer::removeServer(SocketPath());
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(SocketPath())) {
        errorText = server.errorString();
        return false;
    }
    return true;
}

void SingleInstance::ReadRequest(QLocalSocket* socket) {
    while (socket->canReadLine()) {
        if (socket->readLine() == kRestoreRequest)
            emit restoreRequested();
    }
}
