#!/usr/bin/env bash
# Installs what building and testing Quilt needs on Debian or Ubuntu, only
# when something is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format clang libclang-rt-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xdotool x11-utils imagemagick python3 python3-pytest
  unicode-data xserver-xephyr python3-yaml python3-pefile
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
