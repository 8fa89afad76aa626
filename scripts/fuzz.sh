#!/usr/bin/env bash
# Runs every fuzz target in turn and reports what each reached:
#   scripts/fuzz.sh BUILD_DIR [SECONDS_EACH] [RUNS_EACH]
# With RUNS_EACH a target stops after that many executions or SECONDS_EACH,
# whichever comes first; FUZZ_TARGET=fuzz_x runs only that target. Each target reads
# its seeds (BUILD_DIR/fuzz-seeds/<target>, made by the build) and its own
# corpus (BUILD_DIR/fuzz-corpus/<target>), which keeps what the run found,
# so the next run starts from there. Findings go to BUILD_DIR/fuzz-artifacts,
# full logs to BUILD_DIR/fuzz-logs.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
runs=${3:-}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
artifacts=$build/fuzz-artifacts
logs=$build/fuzz-logs
mkdir -p "$artifacts" "$logs"

limit=(-max_total_time="$seconds")
if [ -n "$runs" ]; then limit+=(-runs="$runs"); fi

# Covered and total edges in the files a target names on its "Code under
# test:" line, from libFuzzer's coverage listing of each function.
edges_under_test() {
  local listing=$1 files=$2
  awk -v files="$files" '
    BEGIN { n = split(files, list, " ") }
    /^(COVERED|UNCOVERED)_FUNC: / {
      where = $NF; sub(/:[0-9]+$/, "", where)
      for (i = 1; i <= n; ++i) {
        if (substr(where, length(where) - length(list[i]) + 1) == list[i]) {
          split($5, e, "/"); covered += e[1]; total += e[2]; break
        }
      }
    }
    END { printf "%d/%d", covered, total }' "$listing"
}

summary=()
failed=()
for target in "$build"/bin/${FUZZ_TARGET:-fuzz_*}; do
  name=$(basename "$target")
  corpus=$build/fuzz-corpus/$name
  seeds=$build/fuzz-seeds/$name
  log=$logs/$name.log
  mkdir -p "$corpus" "$seeds"
  dict=()
  if [ -f "$source_dir/fuzz/$name.dict" ]; then dict=(-dict="$source_dir/fuzz/$name.dict"); fi
  echo "== $name (${runs:+$runs runs}${runs:+, }${seconds}s at most), log in $log"
  status=0
  "$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${dict[@]}" -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$log" || tail -20 "$log"
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  edges=$(grep -oE ' cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || echo 0)
  # One pass over the corpus alone for the per-function coverage listing.
  files=$(sed -n 's|^// Code under test: ||p' "$source_dir/fuzz/$name.cpp" | tr '\n' ' ')
  "$target" -runs=0 -print_coverage=1 "$corpus" "$seeds" >"$log.coverage" 2>&1 || true
  reached=$(edges_under_test "$log.coverage" "$files")
  units=$(find "$corpus" -type f | wc -l)
  summary+=("$(printf '%-18s %12s %6s %10s %7s   %s' "$name" "${executions:-?}" "$edges" \
    "$reached" "$units" "$files")")
done

echo
# edges: all the target reached; under test: reached/all edges in the files
# it names; corpus: files kept in its corpus folder.
printf '%-18s %12s %6s %10s %7s   %s\n' target executions edges "under test" corpus files
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
