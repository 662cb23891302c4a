#!/usr/bin/env bash
# Sets up and runs every test: the formatting, layer and Windows-source
# checks, one build with AddressSanitizer and UndefinedBehaviorSanitizer in
# which every test runs, clang-tidy over the logic layers, the threaded
# tests again under ThreadSanitizer, then a short run of each fuzzer (one per
# core). Ends with the count of test cases that passed and failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-20}
export QT_QPA_PLATFORM=offscreen
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # ccache takes files that force-include a precompiled header (SUITE_PCH
    # below) only when told that the header's macros and time stamps may be
    # trusted; it still hashes the header itself.
    export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:+$CCACHE_SLOPPINESS,}pch_defines,time_macros"
fi

step() { printf '\n== %s (%s)\n' "$*" "$(date +%T)"; }
passed=0
failed=0

step "formatting"
# Every C++ file as the root .clang-format lays it out.
if ! (cd "$root" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror); then
    echo "formatting: run clang-format-14 -i on the files named above"
    failed=$((failed + 1))
else
    passed=$((passed + 1))
fi

step "test counting"
# The counting below decides whether CI passes, so it is tested first.
if bash "$root/scripts/tests/count-results-test.sh"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

step "layer check"
# The check below guards the layers of docs/architecture.md, so it is tested first.
if bash "$root/scripts/tests/check-layers-test.sh"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

step "layers"
# Every #include of the tree against the layer table.
if bash "$root/scripts/check-layers.sh" "$root"; then
    passed=$((passed + 1))
else
    echo "layers: an include above goes against docs/architecture.md"
    failed=$((failed + 1))
fi

step "windows sources (alongside the next build)"
# What only the Windows build compiles, checked for syntax with MinGW. One
# file after another on one core, so it runs beside the sanitizer build and
# its report follows that build's.
windows_log=$(mktemp)
bash "$root/scripts/check-windows-sources.sh" "$root" >"$windows_log" 2>&1 &
windows_pid=$!

step "build with address and undefined-behaviour sanitizers"
# Optimisation for debugging (-Og) and line tables only: the sanitizers see
# every access and name every line, and the build takes a third of the time
# of -O2 -g. The test programs' own sources are built unoptimised, a few
# files at a time (SUITE_QUICK_TESTS). The standard, Qt and GoogleTest
# headers are precompiled once per kind of target (SUITE_PCH), and lld links
# where it is installed (SUITE_LLD). Warnings are errors here.
build="$root/build/asan"
fast_build=(-DSUITE_QUICK_TESTS=ON -DSUITE_PCH=ON -DSUITE_LLD=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-Og -g1 -DNDEBUG")
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_SANITIZE=ON -DSUITE_WERROR=ON \
    "${fast_build[@]}" "${launcher[@]}" -Wno-dev >/dev/null
cmake --build "$build" -j "$jobs"

step "windows sources"
if wait "$windows_pid"; then
    cat "$windows_log"
    passed=$((passed + 1))
else
    cat "$windows_log"
    failed=$((failed + 1))
fi
rm -f "$windows_log"

step "tests"
rm -rf "$build/test-results"
mkdir -p "$build/test-results"
set +e
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$build" --output-on-failure -j "$jobs" --output-junit "$build/test-results/ctest.junit"
# ctest's verdict per program decides; each program's own report adds its cases.
read -r p f < <(bash "$root/scripts/count-results.sh" "$build/test-results/ctest.junit" "$build/test-results")
set -e
passed=$((passed + p))
failed=$((failed + f))

step "clang-tidy on the layers that compute and parse"
if bash "$root/scripts/check-tidy.sh" "$build" "$root"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

step "threads under ThreadSanitizer"
# The programs that hand work between threads: the batch (holes on a thread
# pool), the window's suggestion worker, SEDRA's acquisition jobs and
# KIVARO's downloads. Debian's Qt is not instrumented: its own hand-overs are
# suppressed (scripts/tsan.supp) and its interceptors ignored.
tsan="$root/build/tsan"
tsan_targets=(sedra_job_tests sedra_longjob_tests talvex_suggestion_cache_tests cli_batch_tests talvex-cli
    kivaro_serial_tests kivaro_cli_endtoend_tests kivaro-cli instrument-sim)
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_TSAN=ON -DSUITE_BENCHMARKS=OFF \
    "${fast_build[@]}" "${launcher[@]}" -Wno-dev >/dev/null
cmake --build "$tsan" -j "$jobs" --target "${tsan_targets[@]}"
rm -rf "$tsan/test-results"
mkdir -p "$tsan/test-results"
set +e
TSAN_OPTIONS="suppressions=$root/scripts/tsan.supp ignore_noninstrumented_modules=1 halt_on_error=0 exitcode=66" \
    ctest --test-dir "$tsan" --output-on-failure -j "$jobs" \
    -R '^(sedra_job_tests|sedra_longjob_tests|talvex_suggestion_cache_tests|cli_batch_tests|kivaro_serial_tests|kivaro_cli_endtoend_tests)$' \
    --output-junit "$tsan/test-results/ctest.junit"
read -r p f < <(bash "$root/scripts/count-results.sh" "$tsan/test-results/ctest.junit" "$tsan/test-results")
set -e
passed=$((passed + p))
failed=$((failed + f))

step "fuzzers (${fuzz_seconds} s each)"
fuzz="$root/build/fuzz"
CXX=clang++-14 cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSUITE_FUZZERS=ON \
    -DSUITE_PCH=ON -DSUITE_LLD=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    "${launcher[@]}" -Wno-dev >/dev/null
cmake --build "$fuzz" --target fuzzers -j "$jobs"
bash "$root/scripts/fuzz-seeds.sh" "$build" "$fuzz/seeds"
mapfile -t fuzzers < <(find "$fuzz" -type f -perm -u+x \( -name '*_fuzzer' -o -name '*_fuzz' \) | sort)
# One fuzzer per core at a time; each leaves its log and its exit status.
run_fuzzer() {
    local f=$1 name corpus seeds
    name=$(basename "$f")
    corpus="$fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="$fuzz/seeds/$name"
    [ -d "$seeds" ] || seeds=""
    "$f" -max_total_time="$fuzz_seconds" -print_final_stats=0 -artifact_prefix="$fuzz/$name-" \
        "$corpus" $seeds >"$fuzz/$name.log" 2>&1
    echo $? >"$fuzz/$name.status"
}
rm -f "$fuzz"/*.status
for f in "${fuzzers[@]}"; do
    while (($(jobs -rp | wc -l) >= jobs)); do wait -n || true; done
    run_fuzzer "$f" &
done
wait
for f in "${fuzzers[@]}"; do
    name=$(basename "$f")
    echo "-- $name"
    if [ "$(cat "$fuzz/$name.status" 2>/dev/null)" = 0 ]; then
        tail -n 2 "$fuzz/$name.log"
        passed=$((passed + 1))
    else
        tail -n 40 "$fuzz/$name.log"
        echo "$name failed (input saved in $fuzz/ as $name-*)"
        failed=$((failed + 1))
    fi
done

echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
