#!/usr/bin/env bash
# Builds the two programs and starts the configuration program; arguments go
# to the program. With --demo a simulated QX318 unit (qx318-sim) starts first
# and COM1 is mapped onto it; the simulator stops when the program ends and
# keeps its unit in build/release/demo-unit.qxs for the next demo.
set -euo pipefail
cd "$(dirname "$0")/.."
demo=0
args=()
for a in "$@"; do
  if [ "$a" = "--demo" ]; then demo=1; else args+=("$a"); fi
done
bash scripts/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQX_BENCH=OFF
cmake --build build/release -j "${QX_JOBS:-$(nproc)}"
program=build/release/bin/QX318Utility
if [ ! -x "$program" ]; then
  echo "Built the libraries in build/release; the configuration program QX318Utility is not part of this build yet, so nothing was started."
  exit 0
fi
if [ "$demo" = 0 ]; then
  exec "$program" "${args[@]}"
fi

log=build/release/qx318-sim.log
build/release/bin/qx318-sim --trace --state build/release/demo-unit.qxs >"$log" 2>&1 &
sim=$!
# SIGTERM lets the simulator keep its unit; wait until it has.
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
line=""
for _ in $(seq 100); do
  line=$(grep -m1 '^QX318_COM1=' "$log" || true)
  if [ -n "$line" ] || ! kill -0 "$sim" 2>/dev/null; then break; fi
  sleep 0.1
done
if [ -z "$line" ]; then
  cat "$log" >&2
  echo "The simulated unit did not start, so the program was not started either." >&2
  exit 1
fi
export "$line"
echo "A simulated QX318 unit answers on COM1 ($line); its frames go to $log."
status=0
"$program" "${args[@]}" || status=$?
exit "$status"
