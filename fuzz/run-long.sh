#!/usr/bin/env bash
# Runs the tag document fuzzer for a long time (default 30 minutes) in build-fuzz.
#   fuzz/run-long.sh [seconds]
# New inputs collect in build-fuzz/fuzz/tagdoc-corpus; a finding is written to build-fuzz/fuzz/
# as crash-*, leak-* or timeout-*, to be kept in fuzz/regressions once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-1800}
BUILD=${BUILD:-build-fuzz}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPARVEX_CORE_ONLY=ON \
  -DPARVEX_FUZZ=ON -DPARVEX_BENCHMARKS=OFF >/dev/null
cmake --build "$BUILD" --target tagdoc_fuzzer -j 2
mkdir -p "$BUILD/fuzz/tagdoc-corpus"
exec "$BUILD/fuzz/tagdoc_fuzzer" -max_total_time="$SECONDS_TO_RUN" -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -dict=fuzz/tagdoc.dict -artifact_prefix="$BUILD/fuzz/" \
  "$BUILD/fuzz/tagdoc-corpus" fuzz/corpus fuzz/regressions
