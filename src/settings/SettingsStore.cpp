#include "settings/SettingsStore.h"

#include <QVariant>

#include <bit>
#include <limits>

std::unique_ptr<QSettings> OpenSettingsStore() {
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QString::fromLatin1(kSettingsOrganisation),
                                                QString::fromLatin1(kSettingsApplication));
    // One file holds everything; a system-wide copy must not fill in values the user lacks.
    settings->setFallbacksEnabled(false);
    return settings;
}

QString SettingsStorePath() {
    return OpenSettingsStore()->fileName();
}

namespace SettingName {

QString DisplayParamIndex(int parameter) {
    return QStringLiteral("Param%1Index").arg(parameter);
}
QString SensorName(int sensor) {
    return QStringLiteral("Sensor%1").arg(sensor);
}
QString SensorHighLow(int sensor) {
    return QStringLiteral("Sensor%1HL").arg(sensor);
}
QString SensorWarning(int sensor) {
    return QStringLiteral("Sensor%1Warn").arg(sensor);
}
QString SensorShutdown(int sensor) {
    return QStringLiteral("Sensor%1SDN").arg(sensor);
}

} // namespace SettingName

namespace {

constexpr int kDateTimeBytes = 8;

[[noreturn]] void ThrowWrongType(const QString& name, const char* type) {
    throw SettingsReadError(QStringLiteral("the stored value \"%1\" is not %2")
                                .arg(name, QLatin1String(type))
                                .toStdString());
}

bool IsIntegerType(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// The file keeps numbers as their decimal text; values set in this run are still numbers.
std::optional<std::int32_t> ToInteger(const QVariant& value) {
    bool ok = false;
    qlonglong number = 0;
    if (value.typeId() == QMetaType::QString)
        number = value.toString().toLongLong(&ok, 10);
    else if (IsIntegerType(value))
        number = value.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(number);
}

} // namespace

SettingsStore::SettingsStore(Access access) : settings(OpenSettingsStore()) {
    // A file that exists but cannot be read is neither read nor replaced: writing would drop
    // every value it holds. (Lines the reader cannot parse are skipped; that is no error.)
    if (settings->status() != QSettings::AccessError)
        return;
    const QString reason =
        QStringLiteral("the settings file \"%1\" cannot be read").arg(settings->fileName());
    if (access == Access::Read)
        throw SettingsReadError(reason.toStdString());
    throw SettingsWriteError((reason + QStringLiteral(", so nothing was saved")).toStdString());
}

std::optional<std::int32_t> SettingsStore::ReadInteger(const QString& name) const {
    if (!settings->contains(name))
        return std::nullopt;
    const std::optional<std::int32_t> number = ToInteger(settings->value(name));
    if (!number)
        ThrowWrongType(name, "an integer");
    return number;
}

std::optional<bool> SettingsStore::ReadBoolean(const QString& name) const {
    if (!settings->contains(name))
        return std::nullopt;
    const std::optional<std::int32_t> number = ToInteger(settings->value(name));
    if (!number)
        ThrowWrongType(name, "a boolean (1 or 0)");
    return *number != 0;
}

std::optional<QString> SettingsStore::ReadText(const QString& name) const {
    if (!settings->contains(name))
        return std::nullopt;
    const QVariant value = settings->value(name);
    // A text of digits may still be held as the number it looks like. An unquoted text with
    // commas in a hand-edited file reads as a list, and raw bytes are no text either.
    if (value.typeId() != QMetaType::QString && !IsIntegerType(value))
        ThrowWrongType(name, "a text");
    return value.toString();
}

std::optional<double> SettingsStore::ReadDateTime(const QString& name) const {
    if (!settings->contains(name))
        return std::nullopt;
    const QVariant value = settings->value(name);
    if (value.typeId() != QMetaType::QByteArray || value.toByteArray().size() != kDateTimeBytes)
        ThrowWrongType(name, "a date-time of 8 raw bytes");
    const QByteArray bytes = value.toByteArray();
    std::uint64_t bits = 0;
    for (int i = kDateTimeBytes - 1; i >= 0; --i)
        bits = (bits << 8) | static_cast<std::uint8_t>(bytes[i]);
    return std::bit_cast<double>(bits);
}

void SettingsStore::WriteInteger(const QString& name, std::int32_t value) {
    settings->setValue(name, value);
}

void SettingsStore::WriteBoolean(const QString& name, bool value) {
    settings->setValue(name, value ? 1 : 0);
}

void SettingsStore::WriteText(const QString& name, const QString& text) {
    settings->setValue(name, text);
}

void SettingsStore::WriteDateTime(const QString& name, double days) {
    auto bits = std::bit_cast<std::uint64_t>(days);
    QByteArray bytes(kDateTimeBytes, '\0');
    for (int i = 0; i < kDateTimeBytes; ++i, bits >>= 8)
        bytes[i] = static_cast<char>(bits & 0xFF);
    settings->setValue(name, bytes);
}

void SettingsStore::RemoveAll() {
    settings->clear();
}

void SettingsStore::Commit() {
    settings->sync();
    if (settings->status() == QSettings::AccessError)
        throw SettingsWriteError(QStringLiteral("the settings could not be saved to \"%1\"")
                                     .arg(settings->fileName())
                                     .toStdString());
}

QString SettingsStore::FilePath() const {
    return settings->fileName();
}
