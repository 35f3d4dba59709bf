#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

// One row of the table bench/run prints: what was measured, the figure, the target.
inline void PrintFigure(const std::string& what, double value, const char* unit,
                        const std::string& target) {
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.3f %s", value, unit);
    std::printf("%-60s %14s %14s\n", what.c_str(), figure, target.c_str());
    std::fflush(stdout);
}

// The q-quantile (0..1) of the samples.
inline double Quantile(std::vector<double> samples, double q) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(index, samples.size() - 1)];
}
