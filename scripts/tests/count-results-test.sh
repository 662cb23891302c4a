#!/usr/bin/env bash
# Checks scripts/count-results.sh on a real ctest run whose programs pass,
# fail, crash and leave good, empty, malformed or no reports.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
reports="$work/reports"
mkdir -p "$work/src" "$reports"

good='<testsuites tests="3" failures="0" errors="0"></testsuites>'
two_failed='<testsuite name="x" tests="5" failures="2" errors="0"></testsuite>'
# program NAME BODY: a test program (a shell script) registered with ctest.
program() {
    printf '%s\n' "$2" >"$work/src/$1.sh"
    echo "add_test(NAME $1 COMMAND sh \${CMAKE_SOURCE_DIR}/$1.sh)" >>"$work/src/CMakeLists.txt"
}
project() {
    printf 'cmake_minimum_required(VERSION 3.25)\nproject(counting NONE)\nenable_testing()\n' >"$work/src/CMakeLists.txt"
}
run() {
    rm -f "$work/ctest.xml"
    cmake -S "$work/src" -B "$work/build" >/dev/null
    ctest --test-dir "$work/build" --output-junit "$work/ctest.xml" >/dev/null 2>&1 || true
    set +e
    result=$(bash "$here/../count-results.sh" "$work/ctest.xml" "$reports" 2>/dev/null)
    status=$?
    set -e
}

project
program passes "echo '$good' > $reports/passes.xml"
# Three cases reported passed, then the program crashed: the crash counts.
program crashes_after_report "echo '$good' > $reports/crashes_after_report.xml; kill -SEGV \$\$"
# Crashed before writing anything into its report.
program crashes_empty_report ": > $reports/crashes_empty_report.xml; kill -SEGV \$\$"
program report_without_suite "echo '<html/>' > $reports/report_without_suite.xml"
program no_report "true"
program two_fail "echo '$two_failed' > $reports/two_fail.xml; exit 1"
run
# Passed: 3 + 3 + 3. Failed: the crash, the empty report, the report without
# a suite, the missing report, and two cases.
if [ "$result" != "9 6" ] || [ "$status" -ne 1 ]; then
    echo "count-results: got '$result' (exit $status), expected '9 6' (exit 1)"
    exit 1
fi

rm -f "$reports"/*
project
program passes "echo '$good' > $reports/passes.xml"
run
if [ "$result" != "3 0" ] || [ "$status" -ne 0 ]; then
    echo "count-results on a clean run: got '$result' (exit $status)"
    exit 1
fi

if bash "$here/../count-results.sh" "$work/missing.xml" "$reports" >/dev/null 2>&1; then
    echo "count-results: a missing ctest report passed"
    exit 1
fi
echo "count-results: ok"
