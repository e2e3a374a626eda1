#pragma once
// One line per figure, printed beside the floor it is judged against, both measured in
// the same run, so that the ratio means something on whatever machine runs it.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// "figure  value  floor  ratio"; a floor of 0 prints no ratio (an absolute figure).
inline void report(const std::string& figure, double value, double floor, const std::string& unit) {
    if (floor > 0)
        std::printf("%-58s %12.4f %s  floor %12.4f %s  ratio %6.2f\n", figure.c_str(), value, unit.c_str(), floor,
                    unit.c_str(), value / floor);
    else
        std::printf("%-58s %12.4f %s\n", figure.c_str(), value, unit.c_str());
    std::fflush(stdout);
}

// Median of repeated samples: one slow outlier (a page fault, a busy neighbour) moves it
// least.
inline double median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

}  // namespace bench
