#!/usr/bin/env bash
# Builds the benchmarks natively in Release and prints their tables.
# usage: bench.sh [FILTER]   FILTER is a benchmark-name regex
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
for bench in build/bench/bin/bench_*; do
  echo "=== $(basename "$bench")"
  "$bench" --benchmark_filter="${1:-.}"
done
