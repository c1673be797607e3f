#!/usr/bin/env bash
# Runs the benchmarks of a build folder (reported, not asserted).
set -euo pipefail
dir=${1:?build folder}
shopt -s nullglob
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.05 2>&1 | grep -v '^\*\*\*' || true
done
