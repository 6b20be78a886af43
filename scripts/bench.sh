#!/usr/bin/env bash
# Builds the benchmarks optimized and runs them; each prints its figures beside a baseline
# measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh
cmake --preset bench >/dev/null
cmake --build --preset bench
for benchmark in build/bench/bench/*_bench; do
  echo "== $(basename "$benchmark")"
  "$benchmark"
done
