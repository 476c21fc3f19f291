#!/usr/bin/env bash
# Installs what building and testing need, and only what is missing.
set -euo pipefail

packages=(
  cmake g++ make clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine fonts-liberation xvfb xauth
  googletest libbenchmark-dev libinih-dev libstb-dev
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
