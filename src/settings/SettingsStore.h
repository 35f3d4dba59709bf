#pragma once

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

// The program's settings live in one INI file in the user's configuration folder
// ($XDG_CONFIG_HOME/velmor/vexo controler.ini), the place earlier releases used.
constexpr const char* kSettingsOrganisation = "velmor";
constexpr const char* kSettingsApplication = "vexo controler";

// A fresh store object; each routine opens its own and drops it when done.
std::unique_ptr<QSettings> OpenSettingsStore();

// The file behind the store (which need not exist).
QString SettingsStorePath();

// Names of the stored values.
namespace SettingName {
inline const QString kBootIndex = QStringLiteral("BootIndex");
inline const QString kDisplayLine1Primary = QStringLiteral("DisplayLine1P");
inline const QString kDisplayLine1Secondary = QStringLiteral("DisplayLine1S");
inline const QString kDisplayUpdateInterval = QStringLiteral("Display Update Interval");
inline const QString kWarningHandlingIndex = QStringLiteral("Warning handling Index");
inline const QString kFahrenCel = QStringLiteral("FahrenCel");
inline const QString kNextRemind = QStringLiteral("Next Remind");
// "Param1Index" .. "Param3Index".
QString DisplayParamIndex(int parameter);
// Name/location of an optional sensor: "Sensor2" .. "Sensor5".
QString SensorName(int sensor);
// "Sensor2HL" .. "Sensor5HL".
QString SensorHighLow(int sensor);
// "Sensor1Warn" .. "Sensor5Warn".
QString SensorWarning(int sensor);
// "Sensor1SDN" .. "Sensor5SDN".
QString SensorShutdown(int sensor);
} // namespace SettingName

// A stored value that exists but does not hold what its name stands for, or a settings file
// that cannot be read at all.
class SettingsReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings could not be written.
class SettingsWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings store with its value types: 32-bit integers, booleans (kept as the integers 1
// and 0, any other integer reads as true), texts and date-times (8 raw bytes holding a
// little-endian double that counts days since 30 December 1899).
//
// A read returns nothing for a value that is absent and throws SettingsReadError for one that
// exists with another type. Opening for reading never creates the file; writes reach the file
// only at Commit(), which reports a failure with SettingsWriteError. The file is replaced as a
// whole, so a failed write leaves the previous contents intact.
class SettingsStore {
public:
    enum class Access { Read, Write };

    // A file that exists but cannot be read throws SettingsReadError when opened for reading
    // and SettingsWriteError when opened for writing: it is never replaced unread.
    explicit SettingsStore(Access access);

    std::optional<std::int32_t> ReadInteger(const QString& name) const;
    std::optional<bool> ReadBoolean(const QString& name) const;
    std::optional<QString> ReadText(const QString& name) const;
    std::optional<double> ReadDateTime(const QString& name) const;

    void WriteInteger(const QString& name, std::int32_t value);
    void WriteBoolean(const QString& name, bool value);
    void WriteText(const QString& name, const QString& text);
    void WriteDateTime(const QString& name, double days);
    // Removes every value; the next start finds the defaults.
    void RemoveAll();

    // Writes what was changed to the file and checks that it got there.
    void Commit();

    QString FilePath() const;

private:
    std::unique_ptr<QSettings> settings;
};
