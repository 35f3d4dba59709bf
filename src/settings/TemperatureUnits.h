#pragma once

// The unit measures whole degrees Celsius; the user may choose to see Fahrenheit. These are
// the program's only conversions, so the window, the limit check, the unit's display and the
// tray hint all round the same way.

// Rounds to a whole multiple of step, halves away from zero. A step of 0 or less means 1.
double RoundToStep(float value, double step);

// Whole degrees in, whole degrees out, computed in single precision as the unit's own
// firmware tables were made.
double CelsiusToFahrenheit(float celsius);
double FahrenheitToCelsius(float fahrenheit);
