#!/usr/bin/env bash
# Builds and runs the icon thread's test under ThreadSanitizer, in build/tsan.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILT_SANITIZE=OFF >/dev/null
cmake --build build/tsan --target icon_thread_tsan
build/tsan/icon_thread_tsan "$@"
