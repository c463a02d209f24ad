// What the benchmarks that compare with a baseline share: the clock, medians, and the
// line that sets our median beside the baseline's from the same run.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchClock.h"

namespace Bench {

using ::NowMs;

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t half = samples.size() / 2;
    return samples.size() % 2 != 0 ? samples[half] : (samples[half - 1] + samples[half]) / 2;
}

inline void Report(const char* what, const std::vector<double>& ours, const char* baseline,
                   const std::vector<double>& theirs, const char* unit = "ms") {
    const double a = Median(ours), b = Median(theirs);
    printf("%-34s ours %9.3f %s | %-22s %9.3f %s | ratio %6.2f\n", what, a, unit, baseline, b, unit,
           b > 0 ? a / b : 0.0);
}

}  // namespace Bench
