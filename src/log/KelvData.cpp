#include "log/KelvData.h"

namespace {

constexpr char kFieldEnd = '\t';

const char* const kLeadingTitles[] = {
    "Timestamp",        "Cpu speed",      "Cpu load",       "Rear fan",
    "Front fan",        "Display line 1", "Display line 2", "Display interval",
    "Warning handling", "Boot temp",      "Heater effect",  "Operation hours",
};
const char* const kSensorTitleSuffixes[] = {"", "Sensor temp", "Sensor alarm value",
                                            "Sensor shutdown value", "Higher/Lower"};

// A field must not end its row or column early: the file has no quoting, so a tab or a line
// break inside a text would split the record.
QByteArray TextField(const QString& text) {
    QByteArray bytes = text.toUtf8();
    for (char& c : bytes) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return bytes;
}

void AppendField(QByteArray& line, const QByteArray& field) {
    line.append(field);
    line.append(kFieldEnd);
}

void AppendNumber(QByteArray& line, std::int64_t value) {
    AppendField(line, QByteArray::number(static_cast<qlonglong>(value)));
}

// Qt's long time formats name the time zone as well; the log shows the clock time only.
QString WithoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result.append(c);
    }
    return result.trimmed();
}

} // namespace

QByteArray LogHeaderLine() {
    QByteArray line;
    for (const char* title : kLeadingTitles)
        AppendField(line, title);
    for (int n = 1; n <= kSensorCount; ++n) {
        const QByteArray sensor = "Sensor " + QByteArray::number(n);
        for (const char* suffix : kSensorTitleSuffixes)
            AppendField(line, sensor + suffix);
    }
    return line;
}

QByteArray LogRecordLine(const KelvData& record, const QLocale& locale) {
    QByteArray line;
    line.reserve(512);
    AppendField(line, TextField(LogTimestampText(record.timestamp, locale)));
    AppendNumber(line, record.cpuSpeed);
    AppendNumber(line, record.cpuLoad);
    AppendNumber(line, record.rearFanRpm);
    AppendNumber(line, record.frontFanRpm);
    AppendField(line, TextField(record.displayLine1Text));
    AppendField(line, TextField(record.displayLine2Text));
    AppendNumber(line, record.displayIntervalMs);
    AppendField(line, TextField(record.warningHandlingText));
    AppendNumber(line, record.bootTemp);
    AppendNumber(line, record.heaterEffect);
    AppendNumber(line, record.operationHours);
    for (const SensorData& sensor : record.sensors) {
        AppendField(line, TextField(sensor.name));
        AppendNumber(line, sensor.temperature);
        AppendNumber(line, sensor.warningLimit);
        AppendNumber(line, sensor.shutdownLimit);
        AppendNumber(line, sensor.alarmOnHigher ? 1 : 0);
    }
    AppendField(line, TextField(record.statusText));
    return line;
}

QString LogTimestampText(const QDateTime& timestamp, const QLocale& locale) {
    if (!timestamp.isValid())
        return QString();
    const QString date = locale.toString(timestamp.date(), QLocale::ShortFormat);
    if (timestamp.time() == QTime(0, 0))
        return date;
    const QString timeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return date + QLatin1Char(' ') + locale.toString(timestamp.time(), timeFormat);
}
