// Timing figures that tests print for the record. Tests bound no wall-clock
// time: the benchmarks (tests/bench) give the figures on a quiet machine.
#pragma once

#include <algorithm>
#include <chrono>
#include <limits>

// The fastest of the runs of f, in milliseconds.
template <typename F>
double FastestMs(int runs, F&& f) {
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}
