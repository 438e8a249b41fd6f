#!/usr/bin/env bash
# Quilt's main job on a fresh machine: installs what is missing, builds,
# starts Wine on a private virtual screen with a few windows, runs
# `quilt list` and `quilt plan` there, then `quilt run` live until Ctrl+C,
# and saves screenshots in out/
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
exec /usr/bin/python3 tools/demo.py
