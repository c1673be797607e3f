#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time; any crash fails the run.
set -euo pipefail
dir=${1:?fuzz build folder}
seconds=${FUZZ_SECONDS:-20}
shopt -s nullglob
targets=("$dir"/fuzz/fuzz_*)
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  dict=()
  [ -f "tests/fuzz/$name.dict" ] && dict=(-dict="tests/fuzz/$name.dict")
  echo "fuzz $name for ${seconds}s"
  "$t" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$dir/$name-" \
    "${dict[@]}" "$corpus" >"$dir/$name.log" 2>&1 || {
    tail -40 "$dir/$name.log"
    echo "fuzz $name: FAILED"
    exit 1
  }
done
echo "fuzz: ${#targets[@]} targets passed"
