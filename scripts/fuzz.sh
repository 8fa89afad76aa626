#!/usr/bin/env bash
# Runs every fuzz target for a while, each from a corpus seeded with the
# shipped skins: scripts/fuzz.sh BUILD_DIR [SECONDS_EACH]
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
corpus_root=$build/fuzz-corpus
# Crash, leak and timeout inputs go here rather than into the caller's folder.
artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
for target in "$build"/bin/fuzz_*; do
  name=$(basename "$target")
  corpus=$corpus_root/$name
  mkdir -p "$corpus"
  if [ "$name" = fuzz_skin ]; then
    cp -n "$build"/dist/stype/*.jss "$corpus"/ 2>/dev/null || true
  fi
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/" "$corpus"
done
