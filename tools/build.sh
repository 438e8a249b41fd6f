#!/usr/bin/env bash
# Builds both worlds: the host core with its tests (sanitizers on) in
# build/host, and quilt.exe with the test helpers in build/win.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILT_SANITIZE=ON >/dev/null
cmake --build build/host -j "$jobs"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake --no-warn-unused-cli >/dev/null
cmake --build build/win -j "$jobs"
