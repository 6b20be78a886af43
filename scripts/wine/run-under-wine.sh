#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs a test program under Wine in the build tree's
# own prefix (made on first use), headless, and stops the prefix's wineserver afterwards so
# that no Wine process outlives the test.
#
#   run-under-wine.sh --tree <build>/wine <program.exe> [arg...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

[ "${1:-}" = --tree ] || { echo "usage: run-under-wine.sh --tree <dir> <program> [arg...]" >&2; exit 2; }
root=$2
shift 2

units="$root/units"
mkdir -p "$root"
exec 8>"$root/units.lock"
flock 8
if [ ! -f "$units/.ready" ]; then
  "$here/prefix.sh" clone "$root" "$units" null
  touch "$units/.ready"
fi

# The lock's descriptor stays here: a wineserver that inherited it would keep the prefix locked
# after a test killed for its time.
status=0
"$here/prefix.sh" run "$units/prefix" "$@" 8>&- || status=$?
"$here/prefix.sh" teardown "$units/prefix" 8>&-
exit "$status"
