// The settings store, the apply cycle, the setup page rules and the temperature unit switch.
#include "app/TForm1.h"

#include "protocol/UnitData.h"
#include "settings/SettingsStore.h"
#include "settings/SetupRules.h"
#include "settings/TemperatureUnits.h"
#include "ui/DigitsOnly.h"
#include "ui/OwnerDrawnList.h"
#include "ui/SliderThumb.h"
#include "ui/WindowColours.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int kHigherItem = 0;
constexpr int kLowerItem = 1;
constexpr std::uint8_t kCelsiusLetter = 'C';
constexpr std::uint8_t kFahrenheitLetter = 'F';
const QString kEvaporatorSlotName = QStringLiteral("Evaporator");

// The optional sensors are 2 to 5; the evaporator, sensor 1, has no name box or direction.
constexpr int kFirstOptionalSensor = 2;

SensorData& Slot(int sensor) {
    return unitData.sensors[sensor - 1];
}

QComboBox* NameBox(TForm1& f, int sensor) {
    const std::array<QComboBox*, 4> boxes{f.SetupSensorComboBox2, f.SetupSensorComboBox3,
                                          f.SetupSensorComboBox4, f.SetupSensorComboBox5};
    return boxes[sensor - kFirstOptionalSensor];
}

QComboBox* DirectionList(TForm1& f, int sensor) {
    const std::array<QComboBox*, 4> lists{f.Par2HighLow, f.Par3HighLow, f.Par4HighLow,
                                          f.Par5HighLow};
    return lists[sensor - kFirstOptionalSensor];
}

QSpinBox* WarningField(TForm1& f, int sensor) {
    const std::array<QSpinBox*, kSensorCount> fields{f.Sensor1Alm, f.Sensor2Alm, f.Sensor3Alm,
                                                     f.Sensor4Alm, f.Sensor5Alm};
    return fields[sensor - 1];
}

QSpinBox* ShutdownField(TForm1& f, int sensor) {
    const std::array<QSpinBox*, kSensorCount> fields{f.Sensor1ShDn, f.Sensor2ShDn, f.Sensor3ShDn,
                                                     f.Sensor4ShDn, f.Sensor5ShDn};
    return fields[sensor - 1];
}

// The ten limit fields: the warning fields of sensors 1 to 5, then their shut-down fields.
std::array<QSpinBox*, 2 * kSensorCount> LimitFields(TForm1& f) {
    std::array<QSpinBox*, 2 * kSensorCount> fields{};
    for (int sensor = 1; sensor <= kSensorCount; ++sensor) {
        fields[sensor - 1] = WarningField(f, sensor);
        fields[kSensorCount + sensor - 1] = ShutdownField(f, sensor);
    }
    return fields;
}

// The name, temperature and status panels of a sensor's row on the System page.
std::array<QLabel*, 3> ReadingsPanels(TForm1& f, int sensor) {
    switch (sensor) {
    case 2:
        return {f.ShowSensor2, f.Temp2, f.TempStat2};
    case 3:
        return {f.ShowSensor3, f.Temp3, f.TempStat3};
    case 4:
        return {f.ShowSensor4, f.Temp4, f.TempStat4};
    default:
        return {f.ShowSensor5, f.Temp5, f.TempStat5};
    }
}

// Selects an item as the program does: no change handler runs, and an index the list does not
// have leaves it without a selection.
void SelectItem(QComboBox* list, int index) {
    const QSignalBlocker blocker(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void SetListText(QComboBox* list, const QString& text) {
    const QSignalBlocker blocker(list);
    list->setEditText(text);
}

} // namespace

// ---- wiring ---------------------------------------------------------------------------------

// Lists react to the user's picks only (activated); the name boxes to every pick and keystroke,
// with the program's own changes made under signal blockers; limit fields to every change of
// their value, also the program's, so the sensor slots always follow the fields.
void TForm1::ConnectSettingsHandlers() {
    connect(SetupSensorComboBox2, &QComboBox::editTextChanged, this,
            &TForm1::SetupSensorComboBox2Change);
    connect(SetupSensorComboBox3, &QComboBox::editTextChanged, this,
            &TForm1::SetupSensorComboBox3Change);
    connect(SetupSensorComboBox4, &QComboBox::editTextChanged, this,
            &TForm1::SetupSensorComboBox4Change);
    connect(SetupSensorComboBox5, &QComboBox::editTextChanged, this,
            &TForm1::SetupSensorComboBox5Change);
    connect(Par2HighLow, &QComboBox::activated, this, &TForm1::Par2HighLowChange);
    connect(Par3HighLow, &QComboBox::activated, this, &TForm1::Par3HighLowChange);
    connect(Par4HighLow, &QComboBox::activated, this, &TForm1::Par4HighLowChange);
    connect(Par5HighLow, &QComboBox::activated, this, &TForm1::Par5HighLowChange);
    connect(Sensor1Alm, &QSpinBox::textChanged, this, &TForm1::Sensor1AlmChange);
    connect(Sensor2Alm, &QSpinBox::textChanged, this, &TForm1::Sensor2AlmChange);
    connect(Sensor3Alm, &QSpinBox::textChanged, this, &TForm1::Sensor3AlmChange);
    connect(Sensor4Alm, &QSpinBox::textChanged, this, &TForm1::Sensor4AlmChange);
    connect(Sensor5Alm, &QSpinBox::textChanged, this, &TForm1::Sensor5AlmChange);
    connect(Sensor1ShDn, &QSpinBox::textChanged, this, &TForm1::Sensor1ShDnChange);
    connect(Sensor2ShDn, &QSpinBox::textChanged, this, &TForm1::Sensor2ShDnChange);
    connect(Sensor3ShDn, &QSpinBox::textChanged, this, &TForm1::Sensor3ShDnChange);
    connect(Sensor4ShDn, &QSpinBox::textChanged, this, &TForm1::Sensor4ShDnChange);
    connect(Sensor5ShDn, &QSpinBox::textChanged, this, &TForm1::Sensor5ShDnChange);
    connect(FrontFanModeComboBox, &QComboBox::activated, this, &TForm1::FrontFanModeComboBoxChange);
    connect(RearFanModeComboBox, &QComboBox::activated, this, &TForm1::RearFanModeComboBoxChange);
    connect(FrontFanManual, &QSlider::valueChanged, this, &TForm1::FrontFanManualChange);
    connect(RearFanManual, &QSlider::valueChanged, this, &TForm1::RearFanManualChange);

    // A radio button's handler runs whenever it becomes checked, by a click or by the program.
    connect(CelsiusRadioButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            CelsiusRadioButtonClick();
    });
    connect(FahrenheitRadioButton, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked)
            FahrenheitRadioButtonClick();
    });
    connect(BootTempComboBox, &QComboBox::activated, this, &TForm1::BootTempComboBoxChange);
    MakeOwnerDrawn(BootTempComboBox, [this](QPainter& painter, int index, const QRect& rect) {
        BootTempComboBoxDrawItem(painter, index, rect);
    });
}

// ---- loads ----------------------------------------------------------------------------------

void TForm1::LoadSensorSettings() {
    Guarded([this] {
        const SettingsStore store(SettingsStore::Access::Read);
        ReadSensorSlots(store);
        ShowLoadedSensorSlots();
    });
}

// Each slot starts from the limits in its fields; a stored value replaces them.
void TForm1::ReadSensorSlots(const SettingsStore& store) {
    SensorData& evaporator = Slot(1);
    evaporator.number = 1;
    evaporator.name = kEvaporatorSlotName;
    evaporator.temperature = 0;
    evaporator.alarmOnHigher = true;
    evaporator.warningLimit = Sensor1Alm->value();
    evaporator.shutdownLimit = Sensor1ShDn->value();
    if (const auto limit = store.ReadInteger(SettingName::SensorWarning(1)))
        evaporator.warningLimit = *limit;
    if (const auto limit = store.ReadInteger(SettingName::SensorShutdown(1)))
        evaporator.shutdownLimit = *limit;

    for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor) {
        SensorData& slot = Slot(sensor);
        slot.number = sensor;
        slot.name = store.ReadText(SettingName::SensorName(sensor)).value_or(QString());
        slot.temperature = 0;
        slot.warningLimit = WarningField(*this, sensor)->value();
        slot.shutdownLimit = ShutdownField(*this, sensor)->value();
        if (const auto higher = store.ReadBoolean(SettingName::SensorHighLow(sensor)))
            slot.alarmOnHigher = *higher;
        if (const auto limit = store.ReadInteger(SettingName::SensorWarning(sensor)))
            slot.warningLimit = *limit;
        if (const auto limit = store.ReadInteger(SettingName::SensorShutdown(sensor)))
            slot.shutdownLimit = *limit;
    }
}

void TForm1::ShowLoadedSensorSlots() {
    for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor) {
        const QString& name = Slot(sensor).name;
        if (!IsFittedSensorName(name))
            continue;
        SetListText(NameBox(*this, sensor), name);
        ShowSensorRowActive(sensor, true);
    }
    for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor)
        SelectItem(DirectionList(*this, sensor),
                   Slot(sensor).alarmOnHigher ? kHigherItem : kLowerItem);
    for (int sensor = 1; sensor <= kSensorCount; ++sensor)
        WarningField(*this, sensor)->setValue(Slot(sensor).warningLimit);
    for (int sensor = 1; sensor <= kSensorCount; ++sensor)
        ShutdownField(*this, sensor)->setValue(Slot(sensor).shutdownLimit);
    for (QSpinBox* field : LimitFields(*this))
        RestrictToDigits(field);
}

void TForm1::LoadChoiceSettings() {
    Guarded([this] {
        const SettingsStore store(SettingsStore::Access::Read);
        const std::array<QComboBox*, 3> parameters{DispParam1, DispParam2, DispParam3};
        for (int parameter = 1; parameter <= 3; ++parameter) {
            if (const auto item = store.ReadInteger(SettingName::DisplayParamIndex(parameter)))
                SelectItem(parameters[parameter - 1], *item);
        }
        if (const auto text = store.ReadText(SettingName::kDisplayLine1Primary))
            SetListText(PrimaryTextComboBox, *text);
        if (const auto text = store.ReadText(SettingName::kDisplayLine1Secondary))
            SetListText(SecondaryTextComboBox, *text);
        if (const auto item = store.ReadInteger(SettingName::kBootIndex))
            SelectItem(BootTempComboBox, *item);
        if (const auto item = store.ReadInteger(SettingName::kWarningHandlingIndex))
            SelectItem(WarningHandlingComboBox, *item);
    });
}

void TForm1::LoadUnitSettings() {
    Guarded([this] {
        const SettingsStore store(SettingsStore::Access::Read);
        if (const auto celsius = store.ReadBoolean(SettingName::kFahrenCel))
            useCelsius = *celsius;
        // The button that becomes checked runs its handler; the unit is already the loaded
        // one, so only the unit letter follows.
        (useCelsius ? CelsiusRadioButton : FahrenheitRadioButton)->setChecked(true);
        if (const auto item = store.ReadInteger(SettingName::kDisplayUpdateInterval))
            SelectItem(DispLine1Int, *item);
        ApplyDisplayInterval(DispLine1Int->currentIndex(), false);
    });
}

// ---- apply cycle ----------------------------------------------------------------------------

void TForm1::WriteChangesTimerTimer() {
    // The data timer stops only when the program closes; what is left then is dropped.
    if (!UpdateDataTimer->isActive()) {
        sensorNamesChanged = warningLimitsChanged = shutdownLimitsChanged = false;
        bootTempChanged = unitsChanged = false;
        return;
    }
    // Each flag is cleared before its action, so a change made meanwhile waits for the next
    // tick, and a failed action is not retried until the user changes the setting again.
    if (std::exchange(fanSettingsChanged, false))
        SendFanSettings();
    if (std::exchange(displayTextChanged, false))
        SendPrimaryText();
    if (std::exchange(displayParamsChanged, false))
        SaveDisplayParams();
    if (std::exchange(unitsChanged, false))
        SendUnitSettings();
    if (std::exchange(highLowChanged, false))
        SaveHighLow();
    if (std::exchange(sensorNamesChanged, false))
        SaveSensorNames();
    if (std::exchange(warningLimitsChanged, false))
        SaveWarningLimits();
    if (std::exchange(shutdownLimitsChanged, false))
        SaveShutdownLimits();
    if (std::exchange(bootTempChanged, false))
        SaveBootTemperature();
}

// The save routines change the unit data record only once the store has taken the values, so
// a failed save leaves the record as it was.

void TForm1::SaveBootTemperature() {
    Guarded([this] {
        const int item = BootTempComboBox->currentIndex();
        // Without a selection there is no boot temperature; sending 0 would set 0 °C.
        if (item < 0)
            return;
        SettingsStore store(SettingsStore::Access::Write);
        store.WriteInteger(SettingName::kBootIndex, item);
        store.Commit();
        unitData.fanSettings.bootTempTenths = BootItemTenths(BootTempComboBox->itemText(item));
        SendFanSettings();
    });
}

void TForm1::SaveDisplayParams() {
    Guarded([this] {
        SettingsStore store(SettingsStore::Access::Write);
        const std::array<QComboBox*, 3> parameters{DispParam1, DispParam2, DispParam3};
        for (int parameter = 1; parameter <= 3; ++parameter)
            store.WriteInteger(SettingName::DisplayParamIndex(parameter),
                               parameters[parameter - 1]->currentIndex());
        store.Commit();
    });
}

void TForm1::SaveHighLow() {
    Guarded([this] {
        SettingsStore store(SettingsStore::Access::Write);
        std::array<bool, kSensorCount + 1> higher{};
        for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor) {
            higher[sensor] = DirectionList(*this, sensor)->currentIndex() == kHigherItem;
            store.WriteBoolean(SettingName::SensorHighLow(sensor), higher[sensor]);
        }
        store.Commit();
        for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor)
            Slot(sensor).alarmOnHigher = higher[sensor];
    });
}

// A sensor set back to "Optional" is not written: its last name stays stored.
void TForm1::SaveSensorNames() {
    Guarded([this] {
        SettingsStore store(SettingsStore::Access::Write);
        std::array<QString, kSensorCount + 1> names;
        for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor) {
            names[sensor] = NameBox(*this, sensor)->currentText();
            if (IsFittedSensorName(names[sensor]))
                store.WriteText(SettingName::SensorName(sensor), names[sensor]);
        }
        store.Commit();
        for (int sensor = kFirstOptionalSensor; sensor <= kSensorCount; ++sensor)
            Slot(sensor).name = names[sensor];
    });
}

void TForm1::SaveWarningLimits() {
    Guarded([this] {
        SettingsStore store(SettingsStore::Access::Write);
        for (int sensor = 1; sensor <= kSensorCount; ++sensor)
            store.WriteInteger(SettingName::SensorWarning(sensor),
                               WarningField(*this, sensor)->value());
        store.Commit();
        for (int sensor = 1; sensor <= kSensorCount; ++sensor)
            Slot(sensor).warningLimit = WarningField(*this, sensor)->value();
    });
}

void TForm1::SaveShutdownLimits() {
    Guarded([this] {
        SettingsStore store(SettingsStore::Access::Write);
        for (int sensor = 1; sensor <= kSensorCount; ++sensor)
            store.WriteInteger(SettingName::SensorShutdown(sensor),
                               ShutdownField(*this, sensor)->value());
        store.Commit();
        for (int sensor = 1; sensor <= kSensorCount; ++sensor)
            Slot(sensor).shutdownLimit = ShutdownField(*this, sensor)->value();
    });
}

// ---- sensor table ---------------------------------------------------------------------------

void TForm1::SetupSensorComboBox2Change() {
    SensorNameBoxChange(2);
}
void TForm1::SetupSensorComboBox3Change() {
    SensorNameBoxChange(3);
}
void TForm1::SetupSensorComboBox4Change() {
    SensorNameBoxChange(4);
}
void TForm1::SetupSensorComboBox5Change() {
    SensorNameBoxChange(5);
}

// Row 2 is not switched by its own name box; the status decoder switches it by the box's text
// on every reply.
void TForm1::SensorNameBoxChange(int sensor) {
    Guarded([this, sensor] {
        const QString name = NameBox(*this, sensor)->currentText();
        const std::array<QLabel*, 3> panels = ReadingsPanels(*this, sensor);
        panels[0]->setText(name);
        Slot(sensor).name = name;
        if (sensor != 2) {
            const bool fitted = name != kNoSensorName;
            ShowSensorRowActive(sensor, fitted);
            for (QLabel* panel : panels)
                panel->setVisible(fitted);
        }
        sensorNamesChanged = true;
    });
}

void TForm1::ShowSensorRowActive(int sensor, bool active) {
    for (QWidget* field :
         std::initializer_list<QWidget*>{DirectionList(*this, sensor), WarningField(*this, sensor),
                                         ShutdownField(*this, sensor)}) {
        field->setEnabled(active);
        PaintField(field, active ? kWindowColour : kScrollBarColour);
    }
}

// The slot's direction follows at the next apply tick.
void TForm1::Par2HighLowChange() {
    highLowChanged = true;
}
void TForm1::Par3HighLowChange() {
    highLowChanged = true;
}
void TForm1::Par4HighLowChange() {
    highLowChanged = true;
}
void TForm1::Par5HighLowChange() {
    highLowChanged = true;
}

void TForm1::Sensor1AlmChange() {
    LimitFieldChange(1, true);
}
void TForm1::Sensor2AlmChange() {
    LimitFieldChange(2, true);
}
void TForm1::Sensor3AlmChange() {
    LimitFieldChange(3, true);
}
void TForm1::Sensor4AlmChange() {
    LimitFieldChange(4, true);
}
void TForm1::Sensor5AlmChange() {
    LimitFieldChange(5, true);
}
void TForm1::Sensor1ShDnChange() {
    LimitFieldChange(1, false);
}
void TForm1::Sensor2ShDnChange() {
    LimitFieldChange(2, false);
}
void TForm1::Sensor3ShDnChange() {
    LimitFieldChange(3, false);
}
void TForm1::Sensor4ShDnChange() {
    LimitFieldChange(4, false);
}
void TForm1::Sensor5ShDnChange() {
    LimitFieldChange(5, false);
}

// The spin field always holds a whole number: while its text is being edited into something
// that is not one (empty, a lone sign), it keeps its last value and raises no change, so the
// sensor keeps that limit too.
void TForm1::LimitFieldChange(int sensor, bool warning) {
    QSpinBox* field = warning ? WarningField(*this, sensor) : ShutdownField(*this, sensor);
    if (field->cleanText().isEmpty())
        return;
    if (warning) {
        Slot(sensor).warningLimit = field->value();
        warningLimitsChanged = true;
    } else {
        Slot(sensor).shutdownLimit = field->value();
        shutdownLimitsChanged = true;
    }
}

// ---- fans -----------------------------------------------------------------------------------

void TForm1::FrontFanModeComboBoxChange() {
    FanModeChange(Fan::Front);
}
void TForm1::RearFanModeComboBoxChange() {
    FanModeChange(Fan::Rear);
}
void TForm1::FrontFanManualChange() {
    FanSliderChange(Fan::Front);
}
void TForm1::RearFanManualChange() {
    FanSliderChange(Fan::Rear);
}

void TForm1::FanModeChange(Fan fan) {
    Guarded([this, fan] {
        QComboBox* mode = fan == Fan::Front ? FrontFanModeComboBox : RearFanModeComboBox;
        QSlider* slider = fan == Fan::Front ? FrontFanManual : RearFanManual;
        const bool manual = mode->currentIndex() == kFanModeManual;
        slider->setEnabled(manual);
        SetSliderThumbVisible(slider, manual);
        UpdateFanControlsEnabled();
        // "Manual" changes nothing until the slider moves: the unit keeps the last speeds.
        const std::optional<FanPreset> preset = PresetForFanMode(mode->currentIndex());
        if (!preset)
            return;
        ApplyFanPreset(*preset, fan, unitData.fanSettings);
        fanSettingsChanged = true;
        // Showing the mode's speed on the slider is not a manual move.
        const QSignalBlocker blocker(slider);
        slider->setValue(preset->SliderPosition());
    });
}

void TForm1::UpdateFanControlsEnabled() {
    ManualLabel->setEnabled(FrontFanModeComboBox->currentIndex() == kFanModeManual ||
                            RearFanModeComboBox->currentIndex() == kFanModeManual);
    const bool sliderEnabled = FrontFanManual->isEnabled() || RearFanManual->isEnabled();
    FanMinLabel->setEnabled(sliderEnabled);
    FanMaxLabel->setEnabled(sliderEnabled);
}

void TForm1::FanSliderChange(Fan fan) {
    QSlider* slider = fan == Fan::Front ? FrontFanManual : RearFanManual;
    ApplyManualFanSpeed(slider->value(), fan, unitData.fanSettings);
    fanSettingsChanged = true;
}

// ---- temperature unit -----------------------------------------------------------------------

void TForm1::CelsiusRadioButtonClick() {
    SwitchTemperatureUnit(CelsiusRadioButton->isChecked());
}

void TForm1::FahrenheitRadioButtonClick() {
    SwitchTemperatureUnit(!FahrenheitRadioButton->isChecked());
}

void TForm1::SwitchTemperatureUnit(bool celsius) {
    const bool before = useCelsius;
    useCelsius = celsius;
    unitData.unitSettings.tempUnitLetter = celsius ? kCelsiusLetter : kFahrenheitLetter;
    if (celsius != before)
        ConvertLimitFields();
}

// The unit choice is stored at once. When that fails the error is shown and the switch still
// goes on: the program already works in the new unit, so the limits must be converted to keep
// meaning the temperatures the user set.
void TForm1::ConvertLimitFields() {
    Guarded([] {
        SettingsStore store(SettingsStore::Access::Write);
        store.WriteBoolean(SettingName::kFahrenCel, useCelsius);
        store.Commit();
    });
    Guarded([this] {
        // Each new value raises the field's change handler, so the slots and the dirty flags
        // follow and the apply cycle stores the converted limits.
        for (QSpinBox* field : LimitFields(*this))
            ConvertLimitField(field);
        unitsChanged = true;
    });
    RedrawList(BootTempComboBox);
}

void TForm1::ConvertLimitField(QSpinBox* field) {
    // An empty field still holds the limit the sensor uses; that limit is converted.
    const float current = static_cast<float>(field->value());
    const double converted =
        useCelsius ? FahrenheitToCelsius(current) : CelsiusToFahrenheit(current);
    // A limit typed near the field's ends could convert past what the field can hold.
    const double bounded =
        std::clamp(converted, double(field->minimum()), double(field->maximum()));
    field->setValue(static_cast<int>(bounded));
}

void TForm1::BootTempComboBoxChange() {
    bootTempChanged = true;
}

void TForm1::BootTempComboBoxDrawItem(QPainter& painter, int index, const QRect& rect) {
    painter.fillRect(rect, painter.brush());
    if (index < 0 || index >= BootTempComboBox->count())
        return;
    constexpr int kTextIndent = 2;
    painter.drawText(rect.adjusted(kTextIndent, 0, 0, 0),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     BootItemDrawText(BootTempComboBox->itemText(index), useCelsius));
}
