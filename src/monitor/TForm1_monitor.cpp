#include "app/TForm1.h"

#include "monitor/AlarmSound.h"
#include "monitor/Readings.h"
#include "monitor/SensorLimits.h"
#include "monitor/UnitStates.h"
#include "platform/ErrorText.h"
#include "protocol/UnitData.h"
#include "settings/SettingsStore.h"
#include "ui/WindowColours.h"

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

const QString kEvaporatorName = QStringLiteral("Evaporator");
const QString kCriticalTrace = QStringLiteral("TEMPERATURE CRITICAL - SHUTTING DOWN");
const QString kCancelTrace = QStringLiteral("CLOSE CONTROL CENTER TO CANCEL SHUTDOWN");
const QByteArray kShuttingDownLine2 = QByteArrayLiteral("SHUTTING DOWN");
const QString kShuttingDownTrace = QStringLiteral("Shutting down....");
const QString kSimulatedUnitTrace = QStringLiteral("Simulated unit: the computer stays on");
const QString kWarningChoiceKey = QStringLiteral("Warning handling Index");

// While this many messages wait for the status bar, the blinking adds no more and stays quiet.
constexpr int kBlinkQueueLimit = 5;
constexpr int kPauseBeforeShutdownTracesMs = 100;
constexpr int kPauseBeforeUnitShutdownMs = 10000;

constexpr int kFactoryDirectionIndex = 1; // "Lower"
constexpr int kFactoryEvaporatorWarning = -10;
constexpr int kFactorySensorWarning = 5;
constexpr int kFactoryShutdown = 0;
constexpr int kFactoryTrayTextIndex = 0;
constexpr int kFactoryBootIndex = 33; // "-33"

void SetPanelLook(QLabel* panel, const PanelLook& look) {
    panel->setText(look.text);
    SetPanelTextColour(panel, look.colour);
}

PanelLook PanelLookOf(const QLabel* panel) {
    return {panel->text(), PanelTextColour(panel)};
}

// Selecting an item from the program runs none of the list's change handlers.
void SelectQuietly(QComboBox* list, int index) {
    const QSignalBlocker blockList(list);
    const QSignalBlocker blockEdit(list->lineEdit());
    list->setCurrentIndex(index);
}

void ShowFanRow(std::int32_t rpm, QLabel* speedPanel, QLabel* statusPanel,
                const QComboBox* modeList) {
    const std::optional<FanLook> look = FanRowLook(rpm, modeList->currentText());
    if (!look)
        return;
    speedPanel->setText(look->speedText);
    SetPanelLook(statusPanel, {look->statusText, look->statusColour});
}

} // namespace

void TForm1::ConnectMonitorHandlers() {
    connect(WarningHandlingComboBox, &QComboBox::activated, this,
            [this] { WarningHandlingComboBoxChange(); });
    connect(WarningHandlingComboBox->lineEdit(), &QLineEdit::textEdited, this,
            [this] { WarningHandlingComboBoxChange(); });
}

// ---- the presentation and alarm pass ---------------------------------------------------------

// The colour the system status panel ends with is the pass's verdict: orange (or a unit fault)
// raises the warning action, red starts the critical shutdown, anything but red or silver (the
// blink phase) calls a pending shutdown off.
void TForm1::UpdateUnitStatus() {
    ShowUnitState();
    SwitchTrayAnimation(false);
    CheckSensorLimits();
    ShowTemperatures();
    ShowFanSpeeds();
    trayAlarmText.Set(QString());

    if (IsFaultState(unitData.unitState) || PanelTextColour(SystemStatPanel) == kOrange) {
        RunWarningAction();
        RaiseTrayAlarm();
    }

    const QColor verdict = PanelTextColour(SystemStatPanel);
    if (verdict == kRed) {
        if (!ShutDownTimer->isActive())
            StartCriticalShutdown();
        RaiseTrayAlarm();
    } else if (verdict != kSilver) {
        ShutDownTimer->stop();
        BlinkTimer->stop();
    }
}

void TForm1::ShowUnitState() {
    const UnitStateRow& row = UnitStateRowFor(unitData.unitState);
    unitData.unitState = row.code;
    if (!row.trace.isEmpty())
        QueueTrace(row.trace);
    SetPanelLook(SystemStatPanel, {row.panelText, row.colour});
}

void TForm1::RaiseTrayAlarm() {
    trayAlarmText.Set(SystemStatPanel->text());
    SystemStatPanel->update();
}

void TForm1::ShowTemperatures() {
    try {
        const bool celsius = useCelsius;
        ShowSensor1->setText(kEvaporatorName);
        Temp1->setText(TemperatureText(unitData.sensors[0].temperature, celsius));
        Temp1->update();
        TempStat1->update();

        QLabel* const names[] = {ShowSensor2, ShowSensor3, ShowSensor4, ShowSensor5};
        QLabel* const values[] = {Temp2, Temp3, Temp4, Temp5};
        QLabel* const states[] = {TempStat2, TempStat3, TempStat4, TempStat5};
        for (int row = 0; row < kSensorCount - 1; ++row) {
            const SensorData& slot = unitData.sensors[row + 1];
            const bool shown = IsSensorRowShown(slot.name);
            for (QLabel* panel : {names[row], values[row], states[row]})
                panel->setVisible(shown);
            if (shown) {
                names[row]->setText(slot.name);
                values[row]->setText(TemperatureText(slot.temperature, celsius));
            } else {
                for (QLabel* panel : {names[row], values[row], states[row]})
                    panel->clear();
            }
            values[row]->update();
            states[row]->update();
        }
    } catch (...) {
        ShowError(std::current_exception());
    }
}

void TForm1::ShowFanSpeeds() {
    try {
        ShowFanRow(unitData.frontFanRpm, FanRPM1, Fan1StatusLabel, FrontFanModeComboBox);
        ShowFanRow(unitData.rearFanRpm, FanRPM2, Fan2StatusLabel, RearFanModeComboBox);
    } catch (...) {
        ShowError(std::current_exception());
    }
}

// ---- limits and warnings ---------------------------------------------------------------------

void TForm1::CheckSensorLimit(SensorData& slot) {
    UpdateAlarmLevel(slot, useCelsius);
}

void TForm1::CheckSensorLimits() {
    try {
        const std::array<QLabel*, kSensorCount> panels{TempStat1, TempStat2, TempStat3, TempStat4,
                                                       TempStat5};
        for (QLabel* panel : panels)
            SetPanelLook(panel, SensorStatusLook(kLevelNormal));
        for (SensorData& slot : unitData.sensors)
            CheckSensorLimit(slot);

        for (int n = 0; n < kSensorCount; ++n) {
            const SensorData& slot = unitData.sensors[n];
            if (slot.alarmLevel == kLevelNormal)
                continue;
            SetPanelLook(panels[n], SensorStatusLook(slot.alarmLevel));
            QueueTrace(SensorAlarmTrace(slot));
        }

        std::array<PanelLook, kSensorCount> looks;
        for (int n = 0; n < kSensorCount; ++n)
            looks[n] = PanelLookOf(panels[n]);
        const int taking =
            SensorTakingSystemPanel(PanelLookOf(SystemStatPanel), looks, unitData.sensors);
        if (taking >= 0)
            SetPanelLook(SystemStatPanel, looks[taking]);
    } catch (...) {
        ShowError(std::current_exception());
    }
}

// The chosen action repeats on every pass while the warning lasts, and each pass leaves its
// record in the error log whatever the choice.
void TForm1::RunWarningAction() {
    Guarded([this] {
        SwitchTrayAnimation(false);
        ShowTrayFrame(0);
        switch (WarningChoice()) {
        case kWarnWithSound:
            PlayAlarmSound();
            break;
        case kWarnWithBlinkingTray:
            SwitchTrayAnimation(true);
            break;
        case kWarnByOpeningWindow:
            Open1Click();
            break;
        default:
            break;
        }
        WriteErrorLogRecord();
    });
}

// The index of the item the list shows; -1 for a text the user typed or no selection.
int TForm1::WarningChoice() const {
    return WarningHandlingComboBox->findText(WarningHandlingComboBox->currentText());
}

void TForm1::PlayAlarmSound() {
    const QString file =
        FindAlarmSound(AlarmSoundCandidates(exeDirectory, QCoreApplication::applicationDirPath()));
    services.sound->PlayToEnd(file);
}

void TForm1::SwitchTrayAnimation(bool on) {
    trayAnimationRequested = on;
    SetTrayAnimation(on);
}

// Blinks the status panel red and silver while a shutdown is pending, and keeps the warning
// and the way to cancel in the status bar, with the alarm tone.
void TForm1::BlinkTimerTimer() {
    Guarded([this] {
        const bool red = PanelTextColour(SystemStatPanel) == kRed;
        SetPanelTextColour(SystemStatPanel, red ? kSilver : kRed);
        // Painted now: the tone below holds the event loop for its length.
        SystemStatPanel->repaint();
        if (!traceMessages || traceMessages->size() >= kBlinkQueueLimit)
            return;
        QueueTrace(kCriticalTrace);
        QueueTrace(kCancelTrace);
        PlayAlarmSound();
    });
}

void TForm1::WarningHandlingComboBoxChange() {
    Guarded([this] {
        const std::unique_ptr<QSettings> store = OpenSettingsStore();
        store->setValue(kWarningChoiceKey, WarningChoice());
        store->sync();
        if (store->status() != QSettings::NoError)
            throw ProgramError(
                QStringLiteral("The settings could not be saved in %1").arg(store->fileName()));
    });
}

// ---- critical shutdown -----------------------------------------------------------------------

void TForm1::StartCriticalShutdown() {
    Guarded([this] {
        ShutDownTimer->start();
        SwitchTrayAnimation(true);
        BlinkTimer->start();
        // Line 1 of the unit's display stops alternating and shows the warning instead.
        DisplayIntervalTimer->stop();
        ShowCriticalDisplayText();
        displayTextChanged = true;
        line2Text = kShuttingDownLine2;
        displayParamsChanged = true;
        services.clock->Pause(kPauseBeforeShutdownTracesMs);
        QueueTrace(kCriticalTrace);
        QueueTrace(kCancelTrace);
        WriteErrorLogRecord();
    });
}

// The text box holds what the unit's line shows, its first 16 characters.
void TForm1::ShowCriticalDisplayText() {
    const QSignalBlocker blockList(PrimaryTextComboBox);
    const QSignalBlocker blockEdit(PrimaryTextComboBox->lineEdit());
    PrimaryTextComboBox->setEditText(kCriticalTrace);
}

void TForm1::ShutDownTimerTimer() {
    // Closing the program is the announced way to cancel. Once the close has begun, a tick
    // delivered inside one of its message boxes must not power the computer off.
    if (closeSequenceDone || terminating)
        return;
    Guarded([this] {
        ApplyFactoryDefaults();
        QueueTrace(kShuttingDownTrace);
        // The next start finds no stored setting. A failure here changes nothing below.
        QFile::remove(SettingsStorePath());
        RequestSystemPowerOff();
        services.clock->ProcessPendingEvents();
        services.clock->Pause(kPauseBeforeUnitShutdownMs);
        SendShutdownCommand();
    });
}

// A simulated unit is for trying the program out: it never powers the computer off.
void TForm1::RequestSystemPowerOff() {
    if (services.unitLink->IsSimulatedUnit())
        QueueTrace(kSimulatedUnitTrace);
    else
        services.shutdown->RequestPowerOff();
}

// Setting a limit field runs its change handler, so the sensor slots follow at once; list
// items are selected without their handlers. The limits are entered as they are, in whatever
// unit is chosen.
void TForm1::ApplyFactoryDefaults() {
    for (QComboBox* direction : {Par2HighLow, Par3HighLow, Par4HighLow, Par5HighLow})
        SelectQuietly(direction, kFactoryDirectionIndex);
    Sensor1Alm->setValue(kFactoryEvaporatorWarning);
    for (QSpinBox* warning : {Sensor2Alm, Sensor3Alm, Sensor4Alm, Sensor5Alm})
        warning->setValue(kFactorySensorWarning);
    for (QSpinBox* shutdown : {Sensor1ShDn, Sensor2ShDn, Sensor3ShDn, Sensor4ShDn, Sensor5ShDn})
        shutdown->setValue(kFactoryShutdown);
    SelectQuietly(IconShowComboBox, kFactoryTrayTextIndex);
    SelectQuietly(WarningHandlingComboBox, kWarnWithSound);
    SelectQuietly(BootTempComboBox, kFactoryBootIndex);
    SetAllDirtyFlags();
    services.clock->ProcessPendingEvents();
}
