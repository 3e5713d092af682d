#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer and runs each for a while.
# Usage: scripts/fuzz.sh [seconds per target] [target name filter] [executions per target]
# Each target stops at whichever limit comes first; without a number of executions only the
# time counts.
set -euo pipefail
seconds=${1:-60}
filter=${2:-}
runs=${3:--1}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DSORVEL_LIBFUZZER=ON >/dev/null
targets=$(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//' | grep -- "$filter" || true)
cmake --build "$build" -j "$(nproc)" --target $targets
mkdir -p "$build/artifacts"
for t in $targets; do
  work="$build/corpus/$t"
  mkdir -p "$work"
  echo "== $t: ${seconds}s"
  # New inputs go to the work corpus; the kept seeds are read from fuzz/corpus. A crashing input
  # is written to build-fuzz/artifacts: copy it into fuzz/corpus/$t once it is fixed.
  "$build/fuzz/$t" -max_total_time="$seconds" -runs="$runs" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "$work" "$root/fuzz/corpus/$t" 2>&1 |
    grep -E '^(#[0-9]+.*(DONE|INITED)|stat::number_of_executed_units|stat::peak_rss_mb|stat::slowest_unit_time_sec|==[0-9]+==ERROR|SUMMARY)' || true
done
