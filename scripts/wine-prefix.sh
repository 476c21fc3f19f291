#!/usr/bin/env bash
# Creates the Wine prefix of a build tree once: usage wine-prefix.sh BUILD_DIR
set -euo pipefail
# Wine accepts only an absolute prefix path.
prefix="$(realpath -m "$1")/wineprefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
# The registry files appear only once wineserver has written them out, and a
# first start on a busy machine occasionally gives up early: try a few times.
for attempt in 1 2 3; do
  [[ -f "$prefix/system.reg" ]] && break
  echo "wine: creating prefix $prefix (attempt $attempt)"
  mkdir -p "$prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
done
[[ -f "$prefix/system.reg" ]] || { echo "wine: could not create $prefix" >&2; exit 1; }
wineserver -w
