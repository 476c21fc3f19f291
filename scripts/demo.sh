#!/usr/bin/env bash
# The plug-in at work with one command: builds the Windows targets, registers
# BC_WMP.x64.dll in a fresh Wine prefix, installs the sample engine as the
# Lumatide product, and lets the player simulator play a tune (or AUDIO_FILE,
# WAV or Ogg Vorbis) through it for about ten seconds under a virtual display,
# with one trip into full screen and back. Pictures land in demo-out/.
#
# usage: scripts/demo.sh [AUDIO_FILE]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

audio=()
if (($# > 1)); then
  echo "usage: scripts/demo.sh [AUDIO_FILE]" >&2
  exit 1
fi
if (($# == 1)); then
  # Made absolute here: Wine sees the same file through its Z: drive.
  audio=("$(realpath -m -- "$1")")
  # Only a missing file is caught here, before the build; the player names
  # every other problem with the file itself.
  if [[ ! -f ${audio[0]} ]]; then
    echo "demo: $1: file not found" >&2
    exit 2
  fi
fi

./scripts/setup.sh

# Wine shows the Unix file system as drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

prefix=$root/build/demo-prefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
mkdir -p "$root/build"
echo "demo: fresh Wine prefix $prefix (made while the build runs)"
wineserver -k 2>/dev/null || true
(
  rm -rf "$prefix"
  mkdir -p "$prefix"
  # Made under a virtual display: a prefix first started without one cannot
  # show windows in its first program that has one.
  xvfb-run -a sh -c 'wineboot --init; wineserver -w'
  # A virtual desktop: without a window manager Wine waits on every hidden
  # top-level window (the engine's full-screen window) for about a second.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f
  wineserver -w
) >"$root/build/demo-prefix.log" 2>&1 &
prefix_job=$!

tree=build/demo-win64
echo "demo: building the plug-in, the player simulator and the sample engine ($tree)"
cmake --preset win64 -B "$tree" -DCMAKE_BUILD_TYPE=Release -DBC_BUILD_TESTS=OFF >/dev/null
cmake --build "$tree" -j2 --target BC_WMP player-sim lumatide-product >/dev/null

if ! wait "$prefix_job"; then
  echo "demo: the Wine prefix could not be made; see build/demo-prefix.log" >&2
  exit 1
fi

bin=$root/$tree/bin
echo "demo: regsvr32 BC_WMP.x64.dll"
wine regsvr32 /s "$(windows_path "$bin/BC_WMP.x64.dll")"
echo "demo: installing the sample engine under C:\\Program Files\\Brightcurrent\\Lumatide"
cmake --install "$tree" --component LumatideProduct --prefix "$prefix/drive_c/Program Files" >/dev/null
# Wine programs started without a display leave a desktop without one behind
# for a few seconds; the player must not start into it.
wineserver -w

# The run writes into a folder of its own; demo-out/ is replaced only when it succeeds.
run=$root/build/demo-run
rm -rf "$run"
wine_audio=()
if ((${#audio[@]})); then
  wine_audio=("$(windows_path "${audio[0]}")")
fi
echo "demo: playing ${audio[0]:-the synthesised tune} for 10 seconds (full screen from 4 s to 7 s)"
status=0
xvfb-run -a -s "-screen 0 1280x800x24" \
  wine "$bin/player-sim.exe" "${wine_audio[@]}" --seconds 10 --screenshot-every 1 \
  --out "$(windows_path "$run")" --script "4:alt+enter,7:alt+enter" || status=$?
wineserver -w

if ((status != 0)); then
  echo "demo: the player simulator ended with exit code $status" >&2
  rm -rf "$run"
  exit "$status"
fi
rm -rf "$root/demo-out"
mv "$run" "$root/demo-out"
echo "demo: $(find "$root/demo-out" -name '*.png' | wc -l) pictures in $root/demo-out/"
