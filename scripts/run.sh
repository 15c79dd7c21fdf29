#!/usr/bin/env bash
# Builds the two programs and starts the configuration program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQX_BENCH=OFF
cmake --build build/release -j "$(nproc)"
program=build/release/bin/QX318Utility
if [ -x "$program" ]; then
  exec "$program" "$@"
fi
echo "Built the libraries in build/release; the configuration program QX318Utility is not part of this build yet, so nothing was started."
