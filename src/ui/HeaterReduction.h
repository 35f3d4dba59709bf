#pragma once

#include <QString>

// The heater slider runs from 0 to 10, 0 % to 100 % heater power in steps of 10 %.
constexpr int kFullHeaterPower = 10;
// Positions from here up are a mild reduction that may last; below it the user must choose
// how many minutes the reduction may last.
constexpr int kLowestUntimedHeaterPosition = 7;
constexpr int kMaxHeaterReductionMinutes = 59;

// The reduction time of m minutes: the reference date-time plus m minutes.
double HeaterReductionOf(int minutes);

// One step of the count-down. The minute is taken in single precision, a little more than a
// minute, so m steps from m minutes end just below the reference date-time: the m-th step
// ends the reduction.
double OneMinuteLess(double reductionTime);

// The minutes of a date-time's time of day (rounded to the millisecond), without a leading
// zero, followed by " Min": 15 minutes show as "15 Min", the reference itself as "0 Min".
QString HeaterMinutesText(double reductionTime);
