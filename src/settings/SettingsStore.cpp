#include "settings/SettingsStore.h"

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(kSettingsOrganisation),
                                       QString::fromLatin1(kSettingsApplication));
}

QString SettingsStorePath() {
    return OpenSettingsStore()->fileName();
}
