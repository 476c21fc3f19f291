#!/usr/bin/env bash
# Builds both targets and runs every test: native under ASan/UBSan, Windows
# under Wine (with a virtual display for the windowed tests).
set -uo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh || exit 1

status=0
summaries=()

run_target() {
  local preset=$1
  shift
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null || return 1
  cmake --build --preset "$preset" || return 1
  echo "=== $preset: test"
  local log="build/$preset/ctest.log"
  "$@" ctest --preset "$preset" 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  summaries+=("$preset: $(grep -E 'tests passed|tests failed' "$log" | tail -n 1)")
  return "$rc"
}

run_target native || status=1

./scripts/wine-prefix.sh build/win64 || status=1
WINEPREFIX="$PWD/build/win64/wineprefix" run_target win64 xvfb-run -a || status=1
WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k 2>/dev/null

echo "=== summary"
printf '%s\n' "${summaries[@]}"
exit "$status"
