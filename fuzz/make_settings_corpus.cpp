// Writes the seed corpus of the settings-load fuzzer: settings files as the program itself
// writes them, through its own handlers and apply cycle.
//
// Usage: make_settings_corpus FOLDER

#include "FuzzController.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool KeepSettingsFile(const QString& folder, const QString& name) {
    QFile::remove(folder + QLatin1Char('/') + name);
    return QFile::copy(SettingsStorePath(), folder + QLatin1Char('/') + name);
}

void PickItem(QComboBox* list, int item) {
    list->setCurrentIndex(item);
    emit list->activated(item);
}

// Every setting at its window default, each stored by the routine that stores it.
void StoreDefaults(TForm1& form) {
    form.ApplyFactoryDefaults();
    form.WriteChangesTimerTimer();
    form.DispLine1IntChange();
    form.WarningHandlingComboBoxChange();
    form.DisplayIntervalTimerTimer();
}

// Optional sensors fitted and named, one alarming on higher readings, limits and display
// choices away from their defaults.
void StoreNamedSensors(TForm1& form) {
    const std::array<QComboBox*, 4> names{form.SetupSensorComboBox2, form.SetupSensorComboBox3,
                                          form.SetupSensorComboBox4, form.SetupSensorComboBox5};
    const std::array<const char*, 4> places{"Ambient", "CPU socket", "Water, loop 1",
                                            "Rear = exhaust"};
    // Typing a name runs the box's change handler.
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i]->setEditText(QString::fromUtf8(places[i]));
    PickItem(form.Par3HighLow, 0);
    form.Sensor3Alm->setValue(45);
    form.Sensor3ShDn->setValue(60);
    form.Sensor1Alm->setValue(-25);
    PickItem(form.DispParam2, 2);
    PickItem(form.BootTempComboBox, 25);
    PickItem(form.DispLine1Int, 7);
    form.PrimaryTextComboBox->setEditText(QStringLiteral("Cold & quiet"));
    form.WriteChangesTimerTimer();
    form.DisplayIntervalTimerTimer();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_settings_corpus FOLDER\n");
        return 2;
    }
    FuzzController& controller = FuzzController::Instance();
    TForm1& form = *controller.form;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    bool written = true;
    StoreDefaults(form);
    written &= KeepSettingsFile(folder, QStringLiteral("defaults"));

    form.FahrenheitRadioButton->setChecked(true);
    form.WriteChangesTimerTimer();
    written &= KeepSettingsFile(folder, QStringLiteral("fahrenheit"));

    form.CelsiusRadioButton->setChecked(true);
    StoreNamedSensors(form);
    written &= KeepSettingsFile(folder, QStringLiteral("names-set"));

    // The log upkeep's reminder date, a day and a half after 1 January 2026.
    SettingsStore store(SettingsStore::Access::Write);
    store.WriteDateTime(SettingName::kNextRemind, 46024.5);
    store.Commit();
    written &= KeepSettingsFile(folder, QStringLiteral("next-remind"));

    if (!controller.messages->shown.isEmpty()) {
        std::fprintf(stderr, "make_settings_corpus: the program reported: %s\n",
                     qPrintable(controller.messages->shown.join(QStringLiteral(" | "))));
        return 1;
    }
    if (!written) {
        std::fprintf(stderr, "make_settings_corpus: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
