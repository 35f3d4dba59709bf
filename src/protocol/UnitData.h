#pragma once

#include <QMutex>
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>

// The unit reports a sensor that is not fitted with a raw value that decodes to this.
constexpr std::int32_t kAbsentSensorTemperature = -99;
constexpr int kSensorCount = 5;

// One temperature sensor. Slot 0 is sensor 1, the evaporator.
struct SensorData {
    std::int32_t number = -1;
    QString name;
    // Whole degrees Celsius, whatever unit the user chose.
    std::int32_t temperature = 0;
    // true: alarm at or above the limit; false: at or below.
    bool alarmOnHigher = false;
    // Both limits are in the temperature unit the user chose.
    std::int32_t warningLimit = 0;
    std::int32_t shutdownLimit = 0;
    // 0 normal, 1 warning, 2 shut-down level.
    std::int32_t alarmLevel = 0;
};

// The unit's own settings block (packet 2). The program only changes the unit letter, the
// operating hours and byte 2; everything else goes back as the unit reported it.
struct UnitSettingsBlock {
    std::uint8_t byte0 = 0;
    std::uint8_t tempUnitLetter = 0;
    std::uint8_t byte2 = 0;
    std::uint8_t displayVariant = 0;
    std::array<std::uint8_t, 10> bytes4to13{};
    std::uint16_t word14 = 0;
    std::uint8_t byte16 = 0;
    // Held wider than its 16 bits on the wire: the hours panel can count past 65535.
    std::int32_t operatingHours = 0;
    std::uint16_t word19 = 0;
    std::array<std::uint8_t, 3> bytes21to23{};

    bool operator==(const UnitSettingsBlock&) const = default;
};

// The fan-and-boot block (packet 3): ten words, then four single bytes.
struct FanSettingsBlock {
    std::int32_t fanLimitRpm = 0;
    std::int32_t frontFanLowRpm = 0;
    std::int32_t frontFanHighRpm = 0;
    std::int32_t bootTempTenths = 0;
    std::array<std::int32_t, 4> words4to7{};
    std::int32_t rearFanLowRpm = 0;
    std::int32_t rearFanHighRpm = 0;
    std::array<std::uint8_t, 4> bytes20to23{};

    bool operator==(const FanSettingsBlock&) const = default;
};

// The live record of everything known about the unit.
struct UnitData {
    std::array<SensorData, kSensorCount> sensors;
    std::uint8_t unitState = 0;
    std::int32_t frontFanRpm = 0;
    std::int32_t rearFanRpm = 0;
    UnitSettingsBlock unitSettings;
    // Set once the unit has sent its own settings block in this run. A block that never
    // arrived is all zeros, and sending it back would wipe the unit's settings.
    bool unitSettingsReceived = false;
    FanSettingsBlock fanSettings;
    std::array<std::uint8_t, 48> displayEcho{};
};

// A text written on the UI thread and read whole by the sampler thread.
class SharedText {
public:
    void Set(const QString& text);
    QString Get() const;

private:
    mutable QMutex mutex;
    QString value;
};

extern UnitData unitData;
// Shown as the tray hint while an alarm is raised; empty otherwise.
extern SharedText trayAlarmText;
// Which reading the tray hint shows (index of the tray-text list).
extern std::atomic<int> trayHintSelection;
// The temperature unit chosen by the user; the unit itself always reports Celsius.
extern std::atomic<bool> useCelsius;

// --- the program's own modal dialogs, user-interface thread only ---
// Set while the heater dialog or the log-size dialog is open, so that neither is opened over
// the other by timer-driven code and slider moves during the heater dialog are ignored.
extern bool modalDialogOpen;
// The log-size dialog's answer: false = delete the operation log, true = leave it alone.
extern bool clearCanceled;
// The remaining time of a timed heater reduction, held as a date-time (days since
// 30 December 1899): kNoHeaterReduction (24 October 2002, 00:00) plus the minutes left.
// kNoHeaterReduction itself means that no timed reduction is set.
constexpr double kNoHeaterReduction = 37553.0;
extern double heaterReductionTime;

// Puts the record and the program-wide values back to their start values.
void ResetDefinements();
