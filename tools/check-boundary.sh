#!/usr/bin/env bash
# The portable core must never see Windows: only files named *_win32.* may
# include <windows.h> or its siblings.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -rlE '#include[[:space:]]*[<"](windows|winuser|dwmapi|shellapi|shlobj|commctrl|objbase)\.h' src \
      | grep -vE '_win32\.(cpp|h)$' || true)
if [[ -n "$bad" ]]; then
  echo "Windows headers outside the platform files:" >&2
  echo "$bad" >&2
  exit 1
fi
