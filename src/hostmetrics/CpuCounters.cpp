#include "hostmetrics/CpuCounters.h"

#include <QList>

#include <array>
#include <cmath>
#include <limits>

namespace {

enum Field { User, Nice, System, Idle, IoWait, Irq, SoftIrq, Steal, FieldCount };
constexpr int kRequiredFields = Idle + 1;

std::optional<std::uint64_t> ParseCount(const QByteArray& word) {
    bool ok = false;
    const qulonglong value = word.toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::uint64_t Advance(std::uint64_t before, std::uint64_t after) {
    return after > before ? after - before : 0;
}

} // namespace

std::optional<CpuTimes> ParseProcStat(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.isEmpty() || words.front() != "cpu")
            continue;
        if (words.size() - 1 < kRequiredFields)
            return std::nullopt;
        std::array<std::uint64_t, FieldCount> values{};
        for (int i = 0; i < FieldCount && i + 1 < words.size(); ++i) {
            const auto value = ParseCount(words[i + 1]);
            if (!value)
                return std::nullopt;
            values[i] = *value;
        }
        CpuTimes times;
        times.busy = values[User] + values[Nice] + values[System] + values[Irq] + values[SoftIrq] +
                     values[Steal];
        times.idle = values[Idle] + values[IoWait];
        return times;
    }
    return std::nullopt;
}

std::int32_t LoadPercentBetween(const CpuTimes& before, const CpuTimes& after) {
    const double busy = static_cast<double>(Advance(before.busy, after.busy));
    const double idle = static_cast<double>(Advance(before.idle, after.idle));
    const double span = busy + idle;
    if (span <= 0)
        return kLoadUnknown;
    return static_cast<std::int32_t>(std::trunc(100.0 - idle / span * 100.0 + 0.5));
}

std::int32_t ClockMHzFromCounter(std::uint64_t start, std::uint64_t end, std::int64_t elapsedNs) {
    if (elapsedNs <= 0)
        return 0;
    // Unsigned subtraction is modulo 2^64: a wrapped counter still gives its true advance.
    const std::uint64_t ticks = end - start;
    // Ticks per microsecond; 128 bits so that a long span cannot overflow the product.
    const unsigned __int128 mhz =
        static_cast<unsigned __int128>(ticks) * 1000u / static_cast<std::uint64_t>(elapsedNs);
    constexpr auto kMost = static_cast<unsigned __int128>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(mhz > kMost ? kMost : mhz);
}

std::optional<std::int32_t> ParseScalingFrequencyKHz(const QByteArray& text) {
    bool ok = false;
    const qlonglong kHz = text.trimmed().toLongLong(&ok);
    if (!ok || kHz <= 0 || kHz / 1000 > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(kHz / 1000);
}

std::optional<std::int32_t> ParseCpuInfoMHz(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        const int colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).trimmed() != "cpu MHz")
            continue;
        bool ok = false;
        const double mhz = line.mid(colon + 1).trimmed().toDouble(&ok);
        if (!ok || !(mhz > 0) || mhz > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        return static_cast<std::int32_t>(std::lround(mhz));
    }
    return std::nullopt;
}
