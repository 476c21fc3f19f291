#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs one.
# usage: fuzz.sh                  list the targets
#        fuzz.sh TARGET [SECONDS] run TARGET for SECONDS (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

targets=$(cd build/fuzz/bin && ls fuzz_* 2>/dev/null | sed 's/^fuzz_//')
if [[ $# -eq 0 ]]; then
  echo "fuzz targets:"
  printf '  %s\n' $targets
  exit 0
fi

target=$1
seconds=${2:-60}
binary=build/fuzz/bin/fuzz_$target
[[ -x $binary ]] || { echo "fuzz.sh: no target '$target' (run without arguments for the list)" >&2; exit 2; }

# The seed corpus stays read-only; new inputs go to a working copy.
seeds=tests/fuzz/corpus/$target
work=build/fuzz/corpus/$target
mkdir -p "$work"
args=(-max_total_time="$seconds" -max_len=65536 -print_final_stats=1 -artifact_prefix=build/fuzz/)
[[ -f tests/fuzz/$target.dict ]] && args+=(-dict="tests/fuzz/$target.dict")
exec "$binary" "${args[@]}" "$work" $( [[ -d $seeds ]] && echo "$seeds" )
