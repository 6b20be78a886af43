#!/usr/bin/env bash
# The main job: builds the Windows setup program and runs it under Wine in a fresh prefix,
# reporting what a user would see. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
python3 e2e/demo.py --build build/win64 "$@"
