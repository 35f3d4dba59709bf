#pragma once

#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <map>
#include <stdexcept>

// The settings file as text on disk, for preparing a start and for seeing what was stored.

// Writes the file with these lines in its only section, as a user or an earlier release left it.
inline void WriteSettingsFile(const QString& lines) {
    const QString path = SettingsStorePath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QFile::WriteOnly | QFile::Truncate))
        throw std::runtime_error("cannot prepare the settings file");
    file.write("[General]\n" + lines.toUtf8());
}

inline QByteArray SettingsFileText() {
    QFile file(SettingsStorePath());
    return file.open(QFile::ReadOnly) ? file.readAll() : QByteArray();
}

// Every stored value by name, as its text in the file.
inline std::map<QString, QString> StoredValues() {
    std::map<QString, QString> values;
    for (const QByteArray& line : SettingsFileText().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || line.startsWith('['))
            continue;
        const QString name = QUrl::fromPercentEncoding(line.left(equals).trimmed());
        values[name] = QString::fromUtf8(line.mid(equals + 1).trimmed());
    }
    return values;
}

// Makes every later save fail: the folder the file belongs in is taken by a plain file.
inline void BlockSettingsFolder() {
    const QString folder = QFileInfo(SettingsStorePath()).path();
    QDir(folder).removeRecursively();
    QFile blocker(folder);
    if (!blocker.open(QFile::WriteOnly))
        throw std::runtime_error("cannot block the settings folder");
}

// A pick of the user: the list changes its item and reports the activation.
inline void UserPicks(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item);
}
