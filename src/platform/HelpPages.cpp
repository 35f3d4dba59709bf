#include "platform/HelpPages.h"

#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace {
const QString kInstalledHelpFolder = QStringLiteral("tarvik-control-centre/help");
}

QString HelpPageFileName(int contextNumber) {
    if (contextNumber == kHelpContents)
        return QStringLiteral("index.html");
    return QStringLiteral("%1.html").arg(contextNumber);
}

QStringList HelpFolders(const QString& programFolder, const QStringList& dataFolders) {
    QStringList folders = {
        QDir(programFolder).filePath(QStringLiteral("help")),
        QDir(programFolder).filePath(QStringLiteral("../share/") + kInstalledHelpFolder)};
    for (const QString& data : dataFolders)
        folders.append(QDir(data).filePath(kInstalledHelpFolder));
    for (QString& folder : folders)
        folder = QDir::cleanPath(folder);
    folders.removeDuplicates();
    return folders;
}

QString FindHelpPage(int contextNumber, const QStringList& folders) {
    const QString name = HelpPageFileName(contextNumber);
    for (const QString& folder : folders) {
        const QFileInfo page(QDir(folder).filePath(name));
        if (page.isFile() && page.isReadable())
            return page.absoluteFilePath();
    }
    return QString();
}
