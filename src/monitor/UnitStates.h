#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

// How the unit's state code is shown in the system status panel.
struct UnitStateRow {
    // The code as the program keeps it: a code the table does not know is kept as 3.
    std::uint8_t code;
    QString panelText;
    QColor colour;
    // Queued for the status bar on every pass while the code lasts; empty for none.
    QString trace;
};

// The row of a state code. A code outside the table gives the row of code 3, "Normal".
const UnitStateRow& UnitStateRowFor(std::uint8_t code);

// Codes 80 to 87 are the unit's own fault codes; each one raises the warning action.
constexpr std::uint8_t kFirstFaultState = 80;
inline bool IsFaultState(std::uint8_t code) {
    return code >= kFirstFaultState;
}
