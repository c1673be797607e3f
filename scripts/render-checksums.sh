#!/bin/sh
# Prints one line per render: the SHA-256 of the WAV file that varnel-render writes for the demo
# phrase on each of the 64 factory programs and for the demo as `make run` plays it, at one
# sample rate with several host block sizes. Compare the output before and after an engine change:
#   scripts/render-checksums.sh > before.txt   (on the old build)
#   scripts/render-checksums.sh > after.txt && diff before.txt after.txt
# Usage: scripts/render-checksums.sh [BUILD_DIR] [RATE] [BLOCK...]
# BUILD_DIR holds varnel-render and Varnel.vst3 (default build/release); default blocks 512 100.
set -eu
build=${1:-build/release}
rate=${2:-48000}
[ $# -ge 2 ] && shift 2 || shift $#
blocks=${*:-512 100}
render="$build/varnel-render"
bundle="$build/Varnel.vst3"
[ -x "$render" ] || { echo "no varnel-render in $build (build first)" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for block in $blocks; do
  for program in demo $(seq 0 63); do
    # The demo: the Makefile's DEMO_SOUND.
    if [ "$program" = demo ]; then
      set -- --program "String Machine" --set "Final=0.18"
    else
      set -- --program "$program"
    fi
    "$render" "$bundle" --demo "$@" --rate "$rate" --block "$block" --out "$tmp/r.wav" \
      >/dev/null 2>"$tmp/err" || { cat "$tmp/err" >&2; exit 1; }
    sum=$(sha256sum "$tmp/r.wav" | cut -d' ' -f1)
    echo "rate=$rate block=$block program=$program $sum"
  done
done
