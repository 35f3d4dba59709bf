#pragma once

#include "protocol/UnitData.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>

// One snapshot of the readings and the user's settings, written as one line to either log.
// It is taken when written and is not the live unit record.
struct KelvData {
    QDateTime timestamp;
    std::int32_t cpuSpeed = 0;
    std::int32_t cpuLoad = 0;
    std::array<SensorData, kSensorCount> sensors{};
    std::int32_t rearFanRpm = 0;
    std::int32_t frontFanRpm = 0;
    QString displayLine1Text;
    QString displayLine2Text;
    std::int32_t displayIntervalMs = 0;
    QString warningHandlingText;
    // Whole degrees Celsius, whatever unit the user chose.
    std::int32_t bootTemp = 0;
    std::int32_t heaterEffect = 0;
    std::int32_t operationHours = 0;
    QString statusText;
};

// The column titles, each followed by a tab, without a line end.
QByteArray LogHeaderLine();

// One record: its fields, each followed by a tab, without a line end. The line has one field
// more than the header has titles: the unit's status text comes last, untitled.
QByteArray LogRecordLine(const KelvData& record, const QLocale& locale = QLocale::system());

// The locale's short date, a blank and its long time with seconds; the date alone at midnight.
QString LogTimestampText(const QDateTime& timestamp, const QLocale& locale);
