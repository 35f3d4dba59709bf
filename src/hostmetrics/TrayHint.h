#pragma once

#include <QString>

#include <array>
#include <cstdint>

// What the tray icon's hint shows, by the tray-text choice: 0..4 the temperature of sensors
// 1..5, 5 the CPU clock, 6 the CPU load; anything else (-1 for a text the user typed) nothing.
struct TrayHintInputs {
    int selection = 0;
    // Whole degrees Celsius, slot 0 = sensor 1; -99 = no sensor.
    std::array<std::int32_t, 5> temperatures{};
    bool useCelsius = true;
    std::int32_t cpuSpeedMHz = 0;
    std::int32_t cpuLoadPercent = 0;
};

QString TrayHintText(const TrayHintInputs& inputs);

// An alarm text, while one is set, is shown instead of the chosen reading.
QString ChooseTrayHint(const QString& readingText, const QString& alarmText);

// Whether the sampler takes a sample on this pass: only once the program has its main window,
// with both result cells in place, and while the window is visible or the tray hint shows a CPU
// value. A window minimised to the tray still counts as visible.
bool SamplingWanted(bool hasMainWindow, bool mainWindowVisible, bool resultCellsSet,
                    int trayHintSelection);
