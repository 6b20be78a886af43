#!/usr/bin/env bash
# Fuzzes for longer than the tests do, and keeps what was found.
#
#   scripts/fuzz.sh [--minutes N] [--runs N] [target ...]
#
# Builds the "fuzz" preset (clang + libFuzzer, build/fuzz), then runs every fuzz target, or the
# ones named, one after the other at the lowest priority: each for N minutes (default 10), or
# until it has executed --runs inputs, whichever comes first. New inputs that reach new code are
# merged into fuzz/corpus/<target> (libFuzzer's -merge=1 adds only what reaches edges the corpus
# does not, so it stays small); the merged files are for the developer to review and commit. Crashes,
# leaks, timeouts and out-of-memory inputs are kept in build/fuzz/findings/<target>/ and printed
# with the command that replays them. One fuzzer runs at a time: the machine is shared.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=10
runs=0
targets=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --minutes) minutes="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done

mapfile -t all_targets < <(sed -n 's/^uinstaller_add_fuzz_target(\([a-z_]*\) .*/\1/p' fuzz/CMakeLists.txt)
if [[ ${#targets[@]} -eq 0 ]]; then targets=("${all_targets[@]}"); fi
for target in "${targets[@]}"; do
  if [[ ! " ${all_targets[*]} " =~ " ${target} " ]]; then
    echo "fuzz.sh: no fuzz target \"$target\" (known: ${all_targets[*]})" >&2
    exit 2
  fi
done

# The largest input each target gets: about what a real file of its kind may hold, so that the
# fuzzer spends its time on structure rather than on length (and no corpus file nears 1 MB).
max_len() {
  case "$1" in
    uninstall_entry) echo 1024 ;;
    command_line|addons_list) echo 4096 ;;
    ini|language_info|uninstall_data|pe_resources|xml_binary|xml_text|xml_well_formed) echo 16384 ;;
    installer_script|package_reader) echo 65536 ;;
    *) echo 16384 ;;
  esac
}

build=build/fuzz
if [[ ! -f $build/CMakeCache.txt ]]; then
  flock /tmp/uinstaller-build.lock cmake --preset fuzz >/dev/null
fi
flock /tmp/uinstaller-build.lock cmake --build "$build" -j2 \
  --target "${targets[@]/%/_fuzzer}"

# Per input: 10 s at most; per process: 2 GB of memory, no single allocation above 512 MB.
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512)
runs_root=$build/fuzz-runs
findings_root=$build/findings
summary=()
total_crashes=0
for target in "${targets[@]}"; do
  program=$build/fuzz/${target}_fuzzer
  corpus=fuzz/corpus/$target
  discovered=$runs_root/$target
  findings=$findings_root/$target
  log=$runs_root/$target.log
  rm -rf "$discovered"
  mkdir -p "$discovered" "$findings" "$corpus"
  length=$(max_len "$target")
  before=$(find "$corpus" -type f | wc -l)
  known_findings=$(find "$findings" -type f | wc -l)
  run_limit=()
  if [[ $runs -gt 0 ]]; then run_limit=(-runs="$runs"); fi

  echo "== $target: up to $minutes min${run_limit:+, $runs runs}, max_len $length (log: $log)"
  # libFuzzer writes what it discovers into the first folder and only reads the others.
  nice -n 19 "$program" "${limits[@]}" -max_len="$length" -max_total_time=$((minutes * 60)) \
    "${run_limit[@]}" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$discovered" "$corpus" >"$log" 2>&1 || true
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ -z $executions ]]; then
    # A crash ends the run before the final figures; the last status line has the count.
    executions=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
  fi

  # Merged by code edges alone (-use_counters=0): keeping every input that reaches some edge a
  # different number of times would commit hundreds of near-copies for a few new edges.
  nice -n 19 "$program" "${limits[@]}" -max_len="$length" -merge=1 -use_counters=0 \
    "$corpus" "$discovered" \
    >"$runs_root/$target.merge.log" 2>&1 || echo "   merge failed, see $runs_root/$target.merge.log"
  after=$(find "$corpus" -type f | wc -l)
  crashes=$(( $(find "$findings" -type f | wc -l) - known_findings ))
  total_crashes=$((total_crashes + crashes))
  summary+=("$(printf '%-18s %14s %10s %8s' "$target" "${executions:-?}" "$((after - before))" "$crashes")")
  if [[ $crashes -gt 0 ]]; then
    grep -E '^==[0-9]+==ERROR|^SUMMARY|deadly signal|ERROR: libFuzzer' "$log" | head -5 | sed 's/^/   /'
  fi
done

echo
printf '%-18s %14s %10s %8s\n' target executions new-files crashes
printf '%s\n' "${summary[@]}"
echo
for target in "${targets[@]}"; do
  for finding in "$findings_root/$target"/*; do
    [[ -f $finding ]] || continue
    echo "finding: $finding"
    echo "  replay: $build/fuzz/${target}_fuzzer $finding"
    echo "  sanitized replay (gcc): build/host/fuzz/${target}_fuzzer $finding"
  done
done
echo "corpora: fuzz/corpus/<target> (review and commit the new files; add each finding once fixed)"
[[ $total_crashes -eq 0 ]]
