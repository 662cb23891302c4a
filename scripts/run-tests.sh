#!/usr/bin/env bash
# Sets up and runs every test: a normal build, a build with AddressSanitizer
# and UndefinedBehaviorSanitizer, and a short run of each fuzzer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-20}
export QT_QPA_PLATFORM=offscreen

step() { printf '\n== %s\n' "$*"; }

step "normal build"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev >/dev/null
cmake --build "$root/build/release" -j "$jobs"
ctest --test-dir "$root/build/release" --output-on-failure -j "$jobs"

step "build with address and undefined-behaviour sanitizers"
cmake -S "$root" -B "$root/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSUITE_SANITIZE=ON \
  -DSUITE_BENCHMARKS=OFF -Wno-dev >/dev/null
cmake --build "$root/build/asan" -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build/asan" --output-on-failure -j "$jobs"

step "fuzzers (${fuzz_seconds} s each)"
CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZERS=ON \
  -Wno-dev >/dev/null
cmake --build "$root/build/fuzz" -j "$jobs"
bash "$root/scripts/fuzz-seeds.sh" "$root/build/release" "$root/build/fuzz/seeds"
mapfile -t fuzzers < <(find "$root/build/fuzz" -type f -perm -u+x \( -name '*_fuzzer' -o -name '*_fuzz' \) | sort)
for f in "${fuzzers[@]}"; do
  name=$(basename "$f")
  corpus="$root/build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/build/fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=""
  echo "-- $name"
  "$f" -max_total_time="$fuzz_seconds" -print_final_stats=0 -artifact_prefix="$root/build/fuzz/" \
    "$corpus" $seeds 2>&1 | tail -n 3
done
echo "fuzzers: ${#fuzzers[@]} ran without a crash"

count() { ctest --test-dir "$1" -N | awk '/Total Tests:/ {print $3}'; }
echo
echo "$(( $(count "$root/build/release") + $(count "$root/build/asan") + ${#fuzzers[@]} )) passed, 0 failed"
