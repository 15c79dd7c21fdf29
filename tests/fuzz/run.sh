#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build side by side for the given seconds.
# Seeds come from tests/fuzz/corpus/<name>/; findings land in tests/fuzz/findings/.
set -uo pipefail
bin=${1:?folder of the fuzz build}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$here/findings"
pids=()
names=()
for f in "$bin"/*_fuzz; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  work="$bin/corpora/$name"
  mkdir -p "$work" "$here/corpus/$name"
  "$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$here/findings/$name-" "$work" "$here/corpus/$name" \
       > "$bin/$name.log" 2>&1 &
  pids+=($!)
  names+=("$name")
done
status=0
for i in "${!pids[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzzer ${names[$i]}: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$bin/${names[$i]}.log" || echo 'ran') without a finding"
  else
    echo "fuzzer ${names[$i]} FAILED:"; tail -n 40 "$bin/${names[$i]}.log"; status=1
  fi
done
[ ${#pids[@]} -gt 0 ] || echo "no fuzzers yet"
exit $status
