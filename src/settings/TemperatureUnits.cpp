#include "settings/TemperatureUnits.h"

#include <cmath>

double RoundToStep(float value, double step) {
    if (!(step > 0))
        step = 1;
    if (value > 0)
        return std::trunc((value + step * 0.5) / step) * step;
    if (value < 0)
        return std::trunc((value - step * 0.5) / step) * step;
    return 0;
}

double CelsiusToFahrenheit(float celsius) {
    constexpr float kFactor = 1.8f;
    const float fahrenheit = celsius * kFactor + 32.0f;
    return RoundToStep(fahrenheit, 1);
}

double FahrenheitToCelsius(float fahrenheit) {
    constexpr float kFactor = 5.0f / 9.0f;
    const float celsius = (fahrenheit - 32.0f) * kFactor;
    return RoundToStep(celsius, 1);
}
