#!/usr/bin/env bash
# Builds the fuzz targets with clang (build/fuzz) and runs each for SECONDS (default 60), seeded from
# the test pictures (tests/data, or the folder in VIMBREL_FUZZ_SEEDS; none when it is missing).
# The corpus each run grows is kept in build/fuzz/corpus/; an input that breaks a target is written to
# build/fuzz/findings/ (kept until removed) and the script exits 1. Without clang the script says so and exits 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
seeds=${VIMBREL_FUZZ_SEEDS:-$root/tests/data}
cd "$root"
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed (scripts/setup.sh installs it); nothing run" >&2
  exit 0
fi
cmake --preset fuzz >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target fuzz_bitmap_file fuzz_convert

# Seeds of each target: the bitmaps for the reader, every picture for the converter.
seed_folder() {
  local target=$1 pattern=$2 dir=build/fuzz/seeds/$1
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ -d "$seeds" ]; then
    find "$seeds" -type f -regextype posix-extended -iregex "$pattern" -size -2M -exec cp -t "$dir" --backup=numbered {} +
  fi
  echo "$dir"
}

status=0
run() {
  local target=$1 pattern=$2
  local seed_dir corpus=build/fuzz/corpus/$target findings=build/fuzz/findings/$target/
  seed_dir=$(seed_folder "$target" "$pattern")
  mkdir -p "$corpus" "$findings"
  local before
  before=$(find "$findings" -type f | wc -l)
  echo "fuzz: $target for $seconds s, $(find "$seed_dir" -type f | wc -l) seeds"
  # A refused picture may not take long or much memory: -timeout and -rss_limit_mb make either a finding
  # (FUZZ_RSS_MB, 4096 unless told; a large allocation that is never filled does not count).
  # Pictures past 256 MB are refused as out of memory, as in a process limited to that much.
  VIMBREL_MEMORY_LIMIT_MB="${VIMBREL_MEMORY_LIMIT_MB:-256}" ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb="${FUZZ_RSS_MB:-4096}" \
    -malloc_limit_mb=4096 \
    -max_len=262144 -print_final_stats=1 -artifact_prefix="$findings" "$corpus" "$seed_dir" \
    2>&1 | grep -E "^(stat::|#[0-9]+ +DONE|==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)" || true
  if [ "$(find "$findings" -type f | wc -l)" -gt "$before" ]; then
    echo "fuzz: $target found something: $findings" >&2
    status=1
  fi
}

run fuzz_bitmap_file '.*\.(bmp|dib)'
run fuzz_convert '.*\.(jpe?g|png|gif|bmp|webp|tiff?)'
exit $status
