// The benchmarks run as registered when measuring for real. With
// QX_BENCH_ONCE=1 in the environment (CI runs them so, only to keep them
// working) every case with a fixed count runs one iteration, and waits that
// only stretch a measurement are cut short.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string_view>

inline bool BenchOnce() {
    static const bool once = [] {
        const char* value = std::getenv("QX_BENCH_ONCE");
        return value && *value && std::string_view(value) != "0";
    }();
    return once;
}

inline benchmark::IterationCount BenchIterations(benchmark::IterationCount count) { return BenchOnce() ? 1 : count; }

// A measuring wait: as given, or a tenth of it in a brief run.
inline std::chrono::milliseconds BenchSpan(std::chrono::milliseconds span) { return BenchOnce() ? span / 10 : span; }
