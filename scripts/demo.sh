#!/usr/bin/env bash
# The main job: builds the demo product's setup (build/win64/demo/setup.exe) and installs the
# demo player with it under Wine in a fresh prefix, silently, then shows what the installation
# left. Installs what is missing first. Extra arguments go to e2e/demo.py (--folder, --keep).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64
python3 e2e/demo.py --build build/win64 "$@"
