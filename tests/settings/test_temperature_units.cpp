#include "settings/TemperatureUnits.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Conversion {
    int from;
    int to;
};

TEST(TemperatureUnits, CelsiusToFahrenheitOfTheUnitsWholeDegrees) {
    const Conversion cases[] = {{0, 32},    {-1, 30}, {-10, 14}, {-20, -4}, {-33, -27},
                                {-40, -40}, {5, 41},  {40, 104}, {50, 122}, {100, 212}};
    for (const Conversion& c : cases)
        EXPECT_EQ(CelsiusToFahrenheit(static_cast<float>(c.from)), c.to) << c.from << " C";
}

TEST(TemperatureUnits, FahrenheitToCelsiusOfWholeDegrees) {
    const Conversion cases[] = {{32, 0},   {31, -1},  {33, 1},   {0, -18},  {2, -17},
                                {14, -10}, {-4, -20}, {104, 40}, {122, 50}, {-40, -40}};
    for (const Conversion& c : cases)
        EXPECT_EQ(FahrenheitToCelsius(static_cast<float>(c.from)), c.to) << c.from << " F";
}

// Every whole degree the unit or a limit field can hold: the single-precision arithmetic must
// agree with exact integer rounding, half away from zero.
TEST(TemperatureUnits, AgreesWithExactRoundingOverTheWholeRange) {
    auto exact = [](int numerator, int denominator) {
        const double quotient = static_cast<double>(numerator) / denominator;
        return quotient >= 0 ? std::floor(quotient + 0.5) : -std::floor(-quotient + 0.5);
    };
    for (int c = -300; c <= 300; ++c) {
        EXPECT_EQ(CelsiusToFahrenheit(static_cast<float>(c)), exact(9 * c, 5) + 32) << c;
        EXPECT_EQ(FahrenheitToCelsius(static_cast<float>(c)), exact((c - 32) * 5, 9)) << c;
        // Celsius limits survive a trip to Fahrenheit and back.
        EXPECT_EQ(FahrenheitToCelsius(static_cast<float>(CelsiusToFahrenheit(c))), c) << c;
    }
    // The other way a limit may move by one degree.
    EXPECT_EQ(CelsiusToFahrenheit(static_cast<float>(FahrenheitToCelsius(33))), 34);
}

TEST(TemperatureUnits, RoundingGoesHalfAwayFromZeroInWholeSteps) {
    struct Case {
        float value;
        double step;
        double expected;
    } const cases[] = {{2.5f, 1, 3}, {-2.5f, 1, -3}, {2.49f, 1, 2}, {-2.49f, 1, -2},
                       {0.0f, 1, 0}, {7.0f, 5, 5},   {7.5f, 5, 10}, {-7.5f, 5, -10},
                       {2.5f, 0, 3}, {-2.5f, -4, -3}};
    for (const Case& c : cases)
        EXPECT_EQ(RoundToStep(c.value, c.step), c.expected) << c.value << " step " << c.step;
}

} // namespace
