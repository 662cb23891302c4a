#!/usr/bin/env bash
# Counts the test cases of one ctest run: count-results.sh CTEST_JUNIT REPORTS
#
# CTEST_JUNIT is ctest's own report (--output-junit), one entry per test
# program with its verdict; REPORTS is the folder where each program wrote its
# own report of test cases (REPORTS/<program>.xml, GoogleTest or Qt Test
# JUnit). Prints "PASSED FAILED" and exits 1 when anything failed.
#
# ctest's verdict decides: a program ctest saw fail (a failed case, a crash,
# a time-out) counts at least one failure even when its report says nothing
# failed or is missing; a program that passed but left no report, an empty
# one or one without a test-suite element counts one failure, since its
# cases cannot be seen. A program that did not run at all is a failure too.
set -uo pipefail

ctest_junit=$1
reports=$2
passed=0
failed=0

# The value of attribute $2 in the first <testsuites>/<testsuite> start tag of
# file $1, or nothing when there is no such element.
suite_attribute() {
    tr '\n' ' ' <"$1" | grep -o '<testsuites\?[[:space:]][^>]*' | head -n 1 |
        grep -o "[[:space:]]$2=\"[0-9]*\"" | grep -o '[0-9]*'
}

if [ ! -s "$ctest_junit" ] || ! grep -q '<testsuite' "$ctest_junit"; then
    echo "count-results: ctest wrote no report ($ctest_junit)" >&2
    echo "$passed 1"
    exit 1
fi

programs=0
while read -r name status; do
    programs=$((programs + 1))
    report="$reports/$name.xml"
    tests="" fails="" errors=""
    if [ -s "$report" ]; then
        tests=$(suite_attribute "$report" tests)
        fails=$(suite_attribute "$report" failures)
        errors=$(suite_attribute "$report" errors)
    fi
    if [ -z "$tests" ]; then
        # No readable report: nothing of it can be counted as passed.
        failed=$((failed + 1))
        [ "$status" = fail ] || echo "count-results: $name left no report of its test cases" >&2
        continue
    fi
    bad=$((${fails:-0} + ${errors:-0}))
    good=$((tests - bad))
    if [ "$status" != run ] && [ "$bad" -eq 0 ]; then
        # The program failed (crashed, timed out, exited non-zero) after its
        # report claimed success, or did not run.
        bad=1
    fi
    passed=$((passed + (good > 0 ? good : 0)))
    failed=$((failed + bad))
done < <(tr '\n' ' ' <"$ctest_junit" | grep -o '<testcase [^>]*' |
    sed -n 's/.* name="\([^"]*\)".* status="\([^"]*\)".*/\1 \2/p')

if [ "$programs" -eq 0 ]; then
    echo "count-results: ctest ran no test program" >&2
    failed=$((failed + 1))
fi
echo "$passed $failed"
[ "$failed" -eq 0 ]
