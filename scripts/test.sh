#!/usr/bin/env bash
# Sets up, builds and runs every test: once with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the release build; then checks the install and the Debian package of the release build. The
# release build's ctest summary closes the output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cd "$root"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
cmake --preset asan >/dev/null
cmake --build build/asan -j "$jobs"
# Leaks are reported; only what libraries beneath Qt keep for the whole process is suppressed.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0" \
  ctest --test-dir build/asan -j "$jobs" --output-on-failure
cmake --preset dev >/dev/null
cmake --build build/dev -j "$jobs"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
ctest --test-dir build/dev -j "$jobs" --output-on-failure | tee "$log"
# A short soak: random user actions through the headless program, checked after each.
for seed in 1 2 3; do build/dev/bench/soak --events 3000 --seed "$seed"; done
# The same with the pictures left in their files until read, as the join command reads them.
for seed in 4 5 6; do build/dev/bench/soak --events 3000 --seed "$seed" --in-order; done
# Each fuzz target for a little under a minute.
scripts/fuzz.sh 50
echo
"$root/scripts/package-check.sh" build/dev
echo
sed -n '/tests passed/,$p' "$log"
