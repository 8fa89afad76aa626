#!/usr/bin/env bash
# How much of each parser the fuzz corpora reach, in clang's source-based
# coverage (lines and branches), after make fuzz has grown the corpora:
#   scripts/fuzz-coverage.sh FUZZ_BUILD_DIR COVERAGE_BUILD_DIR
# The coverage build is a separate clang build of the fuzz targets without
# sanitizers, whose check branches would count as branches of the parser.
set -euo pipefail
fuzz_build=${1:-build-fuzz}
build=${2:-build-fuzz-coverage}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
flags="-fprofile-instr-generate -fcoverage-mapping"

CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSKINSHELL_FUZZ=ON -DSKINSHELL_SANITIZE=OFF -DSKINSHELL_GTK=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
targets=$(basename -a "$source_dir"/fuzz/fuzz_*.cpp | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build "$build" -j "$(nproc)" --target $targets

mkdir -p "$build/profiles"
for name in $targets; do
  files=$(sed -n 's|^// Code under test: ||p' "$source_dir/fuzz/$name.cpp" | tr '\n' ' ')
  raw=$build/profiles/$name.profraw
  data=$build/profiles/$name.profdata
  rm -f "$raw"
  LLVM_PROFILE_FILE=$raw "$build/bin/$name" -runs=0 \
    "$fuzz_build/fuzz-corpus/$name" "$fuzz_build/fuzz-seeds/$name" >/dev/null 2>&1
  llvm-profdata merge -o "$data" "$raw"
  echo "== $name"
  # The report's heading, then only the files under test.
  pattern="^Filename"
  for f in $files; do pattern+="|^${f//./\\.} "; done
  llvm-cov report "$build/bin/$name" -instr-profile="$data" | sed "s|^$source_dir/||" |
    grep -E "$pattern"
done
