#!/usr/bin/env bash
# Creates the Wine prefix of a build tree once: usage wine-prefix.sh BUILD_DIR
set -euo pipefail
# Wine accepts only an absolute prefix path.
prefix="$(realpath -m "$1")/wineprefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
if [[ ! -f "$prefix/system.reg" ]]; then
  echo "wine: creating prefix $prefix"
  mkdir -p "$prefix"
  wineboot --init >/dev/null 2>&1
fi
wineserver -w
