#include "monitor/AlarmSound.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kShareFolder = QStringLiteral("tarvik-control-centre");
} // namespace

QStringList AlarmSoundCandidates(const QString& dataDirectory, const QString& programDirectory) {
    QStringList candidates{dataDirectory + kAlarmSoundName,
                           programDirectory + QLatin1Char('/') + kAlarmSoundName,
                           QDir::cleanPath(programDirectory + QStringLiteral("/../share/") +
                                           kShareFolder + QLatin1Char('/') + kAlarmSoundName)};
    const QStringList systemFolders =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString& folder : systemFolders)
        candidates.append(folder + QLatin1Char('/') + kShareFolder + QLatin1Char('/') +
                          kAlarmSoundName);
    return candidates;
}

QString FindAlarmSound(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return candidates.value(0);
}
