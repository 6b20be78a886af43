#!/usr/bin/env bash
# Every test, in one CTest run over three build trees:
#   build/host   unit tests under ASan and UBSan, fuzz corpora replayed, benchmarks smoke-run
#   build/win64  the same unit tests under Wine, the end-to-end scenarios under Wine
#   build/fuzz   every fuzz target fuzzed for a short time (UINSTALLER_FUZZ_SECONDS, default 30)
# Installs what is missing first. Extra arguments go to ctest (for example -L e2e, -R Crc32).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/bootstrap.sh

for preset in host win64 fuzz; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One test tree above the three, so a single ctest invocation runs and reports them all.
cat >build/CTestTestfile.cmake <<'TESTS'
subdirs("host" "win64" "fuzz")
TESTS

ctest --test-dir build -j2 --output-on-failure "$@"
