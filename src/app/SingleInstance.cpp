#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

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

QString SingleInstance::DefaultFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) {
        return QDir::tempPath() + QStringLiteral("/tarvik-control-centre-") +
               QString::number(::getuid());
    }
    return runtime + QStringLiteral("/tarvik-control-centre");
}

QString SingleInstance::PreparePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    // mkdir does not follow a symbolic link planted in its place.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot create %1: %2").arg(folder, qt_error_string(errno));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return QStringLiteral("cannot inspect %1: %2").arg(folder, qt_error_string(errno));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return QStringLiteral("%1 is not a folder owned by this user").arg(folder);
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return QStringLiteral("cannot make %1 private").arg(folder);
    return QString();
}

QString SingleInstance::SocketPath() const {
    return folder + QStringLiteral("/instance");
}

SingleInstance::Role SingleInstance::Claim() {
    errorText = PreparePrivateFolder(folder);
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
