#pragma once
#include <algorithm>
#include <chrono>
#include <vector>

namespace lumaforge::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The median and the range of a set of timings, in milliseconds.
struct Figures {
    double median = 0;
    double min = 0;
    double max = 0;
};
inline Figures Summary(std::vector<double> times) {
    if (times.empty())
        return {};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}
inline double Median(std::vector<double> times) {
    return Summary(std::move(times)).median;
}

}  // namespace lumaforge::bench
