#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Points the program's settings store into a folder of the test's own, so that no test reads
// or writes the user's configuration and none sees what another stored.
inline void UsePrivateSettingsStore(const QTemporaryDir& dir) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, dir.path() + "/system");
}
