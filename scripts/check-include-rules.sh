#!/usr/bin/env bash
# Keeps the layering honest: <windows.h> (and the other Win32 headers) appear only in the
# Windows implementations of the platform layer (*_win.*), the wizard (ui/), and Windows-only
# programs (e2e/, setup/, tools/ files ending in _win). support/, package/, core/ and product/
# stay portable, so they build and are tested natively on Linux.
set -euo pipefail
cd "$(dirname "$0")/.."

violations=$(git ls-files '*.h' '*.cpp' |
  grep -v -E '(_win\.(h|cpp)$|^ui/)' |
  xargs grep -l -E '#include\s*<(windows|winbase|winuser|shlobj|shellapi|wincrypt|commctrl)\.h>' \
  || true)
if [ -n "$violations" ]; then
  echo "Win32 headers outside the Windows-only files:" >&2
  echo "$violations" >&2
  exit 1
fi
echo "include rules hold"
