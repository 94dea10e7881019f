#include "support/BenchStats.h"

#include <algorithm>
#include <cstdio>

double BenchStats::since(Clock::time_point start) {
    return milliseconds(Clock::now() - start);
}

double BenchStats::milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

double BenchStats::median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string BenchStats::spread(const std::vector<double>& values, int decimals) {
    if (values.empty()) {
        return "-";
    }
    auto [low, high] = std::minmax_element(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.*f-%.*f", decimals, *low, decimals, *high);
    return text;
}

std::string BenchStats::summary(const std::vector<double>& values, int decimals) {
    char text[96];
    std::snprintf(text, sizeof text, "%.*f ms (%s)", decimals, median(values),
                  spread(values, decimals).c_str());
    return text;
}
