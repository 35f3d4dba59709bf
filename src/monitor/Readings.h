#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

// A temperature reading (whole degrees Celsius) as the window shows it: "-12°C", or
// converted, "10°F".
QString TemperatureText(std::int32_t celsius, bool useCelsius);

// Rows 2 to 5 of the temperature table show only sensors that are fitted and named.
bool IsSensorRowShown(const QString& name);

// What a fan row shows.
struct FanLook {
    QString speedText;
    QString statusText;
    QColor statusColour;
};

// The row of a fan at this speed, with the text of its mode list. None for a speed of 10000
// or more, which is not a valid reading: the row keeps what it showed.
std::optional<FanLook> FanRowLook(std::int32_t rpm, const QString& modeText);
