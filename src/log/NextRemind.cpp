#include "log/NextRemind.h"

#include "platform/ErrorText.h"
#include "settings/SettingsStore.h"

#include <QByteArray>
#include <QVariant>

#include <bit>
#include <cstdint>

namespace {

const QString kNextRemindName = QStringLiteral("Next Remind");
constexpr qsizetype kDateTimeBytes = 8;

QByteArray DateTimeBytes(double days) {
    auto bits = std::bit_cast<std::uint64_t>(days);
    QByteArray bytes(kDateTimeBytes, '\0');
    for (qsizetype i = 0; i < kDateTimeBytes; ++i, bits >>= 8)
        bytes[i] = static_cast<char>(bits & 0xFF);
    return bytes;
}

double DaysFromBytes(const QByteArray& bytes) {
    std::uint64_t bits = 0;
    for (qsizetype i = kDateTimeBytes - 1; i >= 0; --i)
        bits = (bits << 8) | static_cast<std::uint8_t>(bytes[i]);
    return std::bit_cast<double>(bits);
}

} // namespace

StoredNextRemind ReadNextRemind() {
    const auto store = OpenSettingsStore();
    if (store->status() == QSettings::AccessError || !store->contains(kNextRemindName))
        return StoredNextRemind::Absent();
    const QVariant value = store->value(kNextRemindName);
    if (value.typeId() != QMetaType::QByteArray || value.toByteArray().size() != kDateTimeBytes)
        return StoredNextRemind::Unreadable(
            QStringLiteral("the stored value \"%1\" is not a date-time of 8 raw bytes")
                .arg(kNextRemindName));
    return StoredNextRemind::At(DaysFromBytes(value.toByteArray()));
}

void WriteNextRemind(double days) {
    const auto store = OpenSettingsStore();
    const auto failure = [&store] {
        return ProgramError(QStringLiteral("the reminder date could not be saved to \"%1\"")
                                .arg(store->fileName()));
    };
    // A settings file that exists but cannot be read is left alone: writing would replace it
    // and drop every other setting it holds.
    if (store->status() == QSettings::AccessError)
        throw failure();
    store->setValue(kNextRemindName, DateTimeBytes(days));
    store->sync();
    if (store->status() == QSettings::AccessError)
        throw failure();
}
