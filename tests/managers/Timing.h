// Time bounds hold for plain builds; under the sanitizers the figures are
// only reported. A bound is checked against the fastest of a few runs, so
// that a busy machine does not fail it.
#pragma once

#include <algorithm>
#include <chrono>
#include <limits>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool TimeBoundsChecked = false;
#else
constexpr bool TimeBoundsChecked = true;
#endif

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
