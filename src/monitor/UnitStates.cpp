#include "monitor/UnitStates.h"

#include "ui/WindowColours.h"

#include <array>

namespace {

// A code the table does not know is shown, and kept, as ordinary running.
constexpr std::uint8_t kReplacementState = 3;

const std::array<UnitStateRow, 16>& StateTable() {
    static const std::array<UnitStateRow, 16> table{{
        {0, QStringLiteral("POWER UP"), kGreen, QStringLiteral("POWER UP")},
        {1, QStringLiteral("Normal"), kGreen, QString()},
        {2, QStringLiteral("BOOT DELAY"), kGreen, QStringLiteral("BOOT DELAY")},
        {3, QStringLiteral("Normal"), kGreen, QString()},
        {4, QStringLiteral("Normal"), kGreen, QString()},
        {5, QStringLiteral("POWER DOWN"), kGreen, QStringLiteral("POWER DOWN")},
        {6, QStringLiteral("IDLE"), kGreen, QStringLiteral("IDLE")},
        {7, QStringLiteral("REST"), kGreen, QStringLiteral("REST")},
        {80, QStringLiteral("TO SLOW"), kRed,
         QStringLiteral("TO SLOW - The cooling didnt reach appropiate temperature in time")},
        {81, QStringLiteral("RESTART DELAY"), kOrange,
         QStringLiteral("RESTART DELAY - Compressor must rest")},
        {82, QStringLiteral("FAN FAILED"), kOrange,
         QStringLiteral("FAN FAILED - One or both of the fans isn't working properly")},
        {83, QStringLiteral("SENSOR FAILED"), kRed, QStringLiteral("SENSOR FAILED")},
        // Two blanks after the dash, as the message has always read.
        {84, QStringLiteral("CRITICAL TEMPERATURE"), kOrange,
         QStringLiteral("CRITICAL TEMPERATURE -  System is critical in controlling the "
                        "temperature")},
        {85, QStringLiteral("TEMPERATURE FAILURE"), kRed,
         QStringLiteral("TEMPERATURE FAILURE - System could not control the temperature")},
        {86, QStringLiteral("STOP FAILURE"), kRed,
         QStringLiteral("STOP FAILURE - Unsuccesfull attempt to stop the system")},
        {87, QStringLiteral("SWITCH ERROR"), kRed,
         QStringLiteral("SWITCH ERROR - The compressor's thermal switch did go open")},
    }};
    return table;
}

} // namespace

const UnitStateRow& UnitStateRowFor(std::uint8_t code) {
    for (const UnitStateRow& row : StateTable()) {
        if (row.code == code)
            return row;
    }
    return UnitStateRowFor(kReplacementState);
}
