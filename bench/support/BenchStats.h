#pragma once

#include <chrono>
#include <string>
#include <vector>

// What every benchmark prints of its runs: medians and spreads in
// milliseconds, and the time since a start. Stateless.
class BenchStats {
public:
    using Clock = std::chrono::steady_clock;

    // Milliseconds from start until now, or of span.
    static double since(Clock::time_point start);
    static double milliseconds(Clock::duration span);
    // The middle of values (the upper one of an even count); 0 for none.
    static double median(std::vector<double> values);
    // "low-high" of values, with decimals after the point.
    static std::string spread(const std::vector<double>& values, int decimals = 1);
    // "median ms (low-high)", with decimals after the point.
    static std::string summary(const std::vector<double>& values, int decimals = 1);
};
