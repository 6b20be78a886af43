#!/usr/bin/env bash
# Builds the benchmarks optimized and runs them; each prints its figures beside a baseline
# measured in the same run. The installation benchmark also needs the Windows build, which it
# runs under Wine, and so do the update and uninstallation benchmark and the start-up benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
for benchmark in build/bench/bench/*_bench; do
  echo "== $(basename "$benchmark")"
  "$benchmark"
done

cmake --preset win64 >/dev/null
cmake --build --preset win64
echo "== install_bench"
python3 bench/install_bench.py --build build/win64 "$@"
echo "== update_uninstall_bench"
python3 bench/update_uninstall_bench.py --build build/win64 "$@"
echo "== startup_bench"
python3 bench/startup_bench.py --build build/win64 "$@"
