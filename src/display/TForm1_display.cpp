// The unit's two display lines: line 1 alternating between two chosen texts, line 2 built
// from three chosen readings.
#include "app/TForm1.h"

#include "display/DisplayLines.h"
#include "protocol/UnitData.h"
#include "settings/SettingsStore.h"

void TForm1::ConnectDisplayHandlers() {
    connect(DispLine1Int, &QComboBox::activated, this, &TForm1::DispLine1IntChange);
    connect(DispParam1, &QComboBox::activated, this, &TForm1::DispParam1Change);
    connect(DispParam2, &QComboBox::activated, this, &TForm1::DispParam2Change);
    connect(DispParam3, &QComboBox::activated, this, &TForm1::DispParam3Change);
    // Every keystroke and every pick; the program sets these texts under signal blockers.
    connect(PrimaryTextComboBox, &QComboBox::editTextChanged, this,
            &TForm1::PrimaryTextComboBoxChange);
    connect(SecondaryTextComboBox, &QComboBox::editTextChanged, this,
            &TForm1::SecondaryTextComboBoxChange);
}

// While a critical shutdown is pending the unit's line 2 says so instead of showing readings,
// so that someone standing at the unit sees it.
void TForm1::ComposeLine2() {
    Guarded([this] {
        if (ShutDownTimer->isActive()) {
            line2Text = kShuttingDownLine2;
        } else {
            Line2Inputs inputs;
            inputs.parameters = {DispParam1->currentIndex(), DispParam2->currentIndex(),
                                 DispParam3->currentIndex()};
            for (int slot = 0; slot < kSensorCount; ++slot)
                inputs.temperatures[slot] = unitData.sensors[slot].temperature;
            inputs.cpuSpeedMHz = cpuSpeedMHz ? cpuSpeedMHz->load() : 0;
            inputs.cpuLoadPercent = cpuLoadPercent ? cpuLoadPercent->load() : 0;
            inputs.celsius = useCelsius;
            inputs.displayVariant = unitData.unitSettings.displayVariant;
            line2Text = ComposeLine2Text(inputs);
        }
        SendLine2Text();
    });
}

// The two texts are stored here, on every tick: typing into the boxes does not store them.
void TForm1::DisplayIntervalTimerTimer() {
    Guarded([this] {
        if (showPrimaryText)
            SendPrimaryText();
        else
            SendSecondaryText();
        showPrimaryText = !showPrimaryText;
        SettingsStore store(SettingsStore::Access::Write);
        store.WriteText(SettingName::kDisplayLine1Primary, PrimaryTextComboBox->currentText());
        store.WriteText(SettingName::kDisplayLine1Secondary, SecondaryTextComboBox->currentText());
        store.Commit();
    });
}

void TForm1::ApplyDisplayInterval(int item, bool startTimer) {
    if (const std::optional<int> interval = DisplayIntervalMs(item)) {
        DisplayIntervalTimer->setInterval(*interval);
        if (startTimer)
            DisplayIntervalTimer->start();
    } else if (item == kDisplayIntervalNeverItem) {
        DisplayIntervalTimer->stop();
    }
}

void TForm1::DispLine1IntChange() {
    Guarded([this] {
        const int item = DispLine1Int->currentIndex();
        ApplyDisplayInterval(item, true);
        SettingsStore store(SettingsStore::Access::Write);
        store.WriteInteger(SettingName::kDisplayUpdateInterval, item);
        store.Commit();
    });
}

// The new line goes to the unit at once; the choices are stored by the apply cycle.
void TForm1::DispParam1Change() {
    ComposeLine2();
    displayParamsChanged = true;
}

void TForm1::DispParam2Change() {
    ComposeLine2();
    displayParamsChanged = true;
}

void TForm1::DispParam3Change() {
    ComposeLine2();
    displayParamsChanged = true;
}

// The apply cycle sends the new primary text within one tick, whatever the alternation shows.
void TForm1::PrimaryTextComboBoxChange() {
    displayTextChanged = true;
}

// The secondary text reaches the unit at its next turn in the alternation.
void TForm1::SecondaryTextComboBoxChange() {}
