#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The program's settings live in one INI file in the user's configuration folder
// ($XDG_CONFIG_HOME/velmor/vexo controler.ini), the place earlier releases used.
constexpr const char* kSettingsOrganisation = "velmor";
constexpr const char* kSettingsApplication = "vexo controler";

// A fresh store object; each routine opens its own and drops it when done.
std::unique_ptr<QSettings> OpenSettingsStore();

// The file behind the store (which need not exist).
QString SettingsStorePath();
