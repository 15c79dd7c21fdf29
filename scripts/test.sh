#!/usr/bin/env bash
# Builds everything and runs every test: a debug build with every test under
# AddressSanitizer and UndefinedBehaviorSanitizer; a build without the windows
# (-DQX_GUI=OFF) under ThreadSanitizer, which runs the device-link, loader and
# text tests and those of the windows' rules without Qt (typeeditor/core and
# managers/core, the only typeeditor and managers tests such a build has);
# each fuzzer for 30 seconds; the tests once more in an optimized build
# (without sanitizers, with the time bounds) with every benchmark run once;
# and the release build of the two programs. A plain
# debug build would run the same tests a third time: build/dev is for
# working by hand (README).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

stage() { printf '\n=== %s ===\n' "$*"; }

stage "AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQX_SANITIZE=address,undefined -DQX_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build/asan --output-on-failure -j "$jobs" --timeout 600

stage "ThreadSanitizer without the windows (device link, loader, texts shared between threads; the windows' rules without Qt)"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQX_SANITIZE=thread -DQX_GUI=OFF -DQX_BENCH=OFF
cmake --build build/tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build/tsan --output-on-failure -j "$jobs" -L 'link|loader|texts|typeeditor|managers' --timeout 600 --no-tests=ignore

stage "fuzzers"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQX_FUZZ=ON -DQX_GUI=OFF -DQX_BENCH=OFF
cmake --build build/fuzz -j "$jobs"
bash tests/fuzz/run.sh build/fuzz/tests/fuzz "${QX_FUZZ_SECONDS:-30}"

stage "optimized build: the tests, and every benchmark once, briefly"
# The optimizer sees warnings and faults a debug build does not; the
# benchmarks run only to show they still work, their numbers mean nothing here.
cmake -S . -B build/rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DQX_BENCH=ON
cmake --build build/rel -j "$jobs"
ctest --test-dir build/rel --output-on-failure -j "$jobs" --timeout 300
for bench in build/rel/bench/*_bench; do
  [ -x "$bench" ] || continue
  log=build/rel/bench/$(basename "$bench").log
  if ! QX_BENCH_ONCE=1 "$bench" --benchmark_min_time=0.01 > "$log" 2>&1 || grep -q 'ERROR OCCURRED' "$log"; then
    echo "benchmark $(basename "$bench") FAILED:"; cat "$log"; exit 1
  fi
  echo "benchmark $(basename "$bench") ran"
done

stage "release build of the two programs, as scripts/run.sh makes it"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQX_BENCH=OFF
cmake --build build/release -j "$jobs"

stage "all tests passed"
