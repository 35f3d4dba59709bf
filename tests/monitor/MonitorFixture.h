#pragma once

#include "support/ControllerFixture.h"
#include "support/SensorSlots.h"

#include "monitor/SensorLimits.h"
#include "settings/SettingsStore.h"
#include "ui/WindowColours.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <array>

// The controller after start, its settings store in a private folder, with a unit whose
// status replies the test composes. The sensor slots are set as the settings load would leave
// them: the evaporator "Higher" with -10 and 0, sensor 2 "Ambient" "Lower" with 5 and 0,
// sensors 3 to 5 not fitted.
class MonitorFixture : public ControllerFixture {
protected:
    void SetUp() override {
        ControllerFixture::SetUp();
        ASSERT_TRUE(configDir.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir.path());
    }

    TForm1& Start() {
        TForm1& f = Build();
        unitData.sensors[0] = Slot(1, "Evaporator", true, -10, 0);
        unitData.sensors[1] = Slot(2, "Ambient", false, 5, 0);
        for (int n = 3; n <= 5; ++n)
            unitData.sensors[n - 1] = Slot(n, "Optional", false, 5, 0);
        f.traceMessages->clear();
        messages->shown.clear();
        TakeWritten();
        return f;
    }

    static SensorData Slot(int number, const char* name, bool higher, int warning, int shutdown) {
        return FittedSensor(number, name, higher, warning, shutdown);
    }

    // A status payload: state code, the five temperatures in whole degrees, the fan speeds.
    static QByteArray Status(std::uint8_t state, std::array<int, 5> celsius = {-30, 25, 0, 0, 0},
                             int frontRpm = 1200, int rearRpm = 1100) {
        QByteArray payload(24, '\0');
        payload[2] = char(state);
        for (int n = 0; n < 5; ++n)
            payload = PayloadWithWord(payload, 3 + 2 * n, celsius[n] * 10);
        payload = PayloadWithWord(payload, 13, frontRpm);
        return PayloadWithWord(payload, 15, rearRpm);
    }

    // One presentation and alarm pass, as a decoded status reply runs it.
    void Pass(const QByteArray& status) { form->ComDataPacket1Packet(status); }

    PanelLook SystemPanel() const {
        return {form->SystemStatPanel->text(), PanelTextColour(form->SystemStatPanel)};
    }

    // The records in the error log (its lines after the header and the blank line).
    int ErrorRecords() const {
        QFile log(files->dir.filePath("Error.log"));
        if (!log.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<int>(log.readAll().count("\r\n")) - 2;
    }

    // Puts a value into the settings store, so that there is a file to delete.
    void StoreSomething() {
        OpenSettingsStore()->setValue("BootIndex", 20);
        ASSERT_TRUE(SettingsStorePath().startsWith(configDir.path()));
        ASSERT_TRUE(QFile::exists(SettingsStorePath()));
    }

    QTemporaryDir configDir;
};
