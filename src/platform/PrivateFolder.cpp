#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

QString PreparePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    // mkdir does not follow a symbolic link planted in its place.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot create %1: %2")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return QStringLiteral("cannot inspect %1: %2")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return QStringLiteral("%1 is not a folder owned by this user").arg(folder);
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return QStringLiteral("cannot make %1 private").arg(folder);
    return QString();
}

QString RuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty()) {
        return QDir::tempPath() + QStringLiteral("/tarvik-control-centre-") +
               QString::number(::getuid());
    }
    return runtime + QStringLiteral("/tarvik-control-centre");
}
