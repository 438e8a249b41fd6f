#!/usr/bin/env bash
# Makes a release: builds quilt.exe as shipped (build/release, or
# $QUILT_RELEASE_BUILD) and writes into dist/, or the folder given, the archive
# a Windows user unzips, its SHA256SUMS, and the Scoop and winget manifests.
#   tools/release.sh [OUT_DIR]
# One commit always gives the same bytes: the version comes from CMake's
# project(), the archive's file times from the commit (or SOURCE_DATE_EPOCH).
set -euo pipefail

# Where a published release's archive is downloaded from; {version} stands for
# the version. The manifests point here, and Scoop's autoupdate fills it in.
RELEASE_URL='https://github.com/quilt-wm/quilt/releases/download/v{version}/quilt-{version}-windows-x64.zip'
# The project's home page; Scoop also asks its GitHub releases for new versions.
HOMEPAGE='https://github.com/quilt-wm/quilt'

out=$(realpath -m "${1:-$(dirname "$0")/../dist}")
cd "$(dirname "$0")/.."
build=$(realpath -m "${QUILT_RELEASE_BUILD:-build/release}")

tools/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  --no-warn-unused-cli >/dev/null
cmake --build "$build" --target quilt -j "$(nproc)"

version=$(sed -n 's/^#define QUILT_VERSION_STRING "\(.*\)"$/\1/p' "$build/res/quilt_version.h")
[[ -n $version ]] || { echo "No version in $build/res/quilt_version.h" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

/usr/bin/python3 tools/package_release.py --version "$version" --exe "$build/quilt.exe" --epoch "$epoch" \
  --url "$RELEASE_URL" --homepage "$HOMEPAGE" --out "$out"
