#!/usr/bin/env bash
# Checks scripts/check-layers.sh on a copy of the tree: the tree as it is
# passes, and each include planted against the rule fails naming its file
# and line.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sources and the table, without build folders.
(cd "$root" && find . \( -name 'build*' -o -name '.?*' \) -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print \
    | tar -cf - -T - docs/architecture.md) | tar -xf - -C "$work"

check() {
    set +e
    output=$(bash "$here/../check-layers.sh" "$work" 2>&1)
    status=$?
    set -e
}

check
if [ "$status" -ne 0 ]; then
    printf 'check-layers: the tree as it is fails:\n%s\n' "$output"
    exit 1
fi

# plant FILE INCLUDE EXPECTED: adds the include as the file's first line (a
# new file when there is none), expects the check to fail with EXPECTED in
# its output, then takes the include out again.
plant() {
    local file="$work/$1"
    mkdir -p "$(dirname "$file")"
    [ -f "$file" ] && cp "$file" "$file.orig"
    { printf '#include "%s"\n' "$2"; [ -f "$file.orig" ] && cat "$file.orig"; } >"$file.new"
    mv "$file.new" "$file"
    check
    if [ -f "$file.orig" ]; then mv "$file.orig" "$file"; else rm "$file"; fi
    if [ "$status" -ne 1 ] || [[ "$output" != *"$3"* ]]; then
        printf 'check-layers: planted "%s" in %s: exit %s, expected 1 and "%s", got:\n%s\n' \
            "$2" "$1" "$status" "$3" "$output"
        exit 1
    fi
}

# The record library may not reach up into the analysis program.
plant records/fieldrecord.cpp talvex/survey/surveydata.h "records/fieldrecord.cpp:1: records may not include talvex/survey"
# The microtremor program may not use the analysis program's libraries.
plant sedra/core/sedrarecord.h talvex/survey/surveydata.h "sedra/core/sedrarecord.h:1: sedra/core may not include talvex/survey"
# The card sits below the core: the cycle the check exists for.
plant sedra/card/acquisitioncard.h sedra/core/sedrarecord.h "sedra/card/acquisitioncard.h:1: sedra/card may not include sedra/core"
# A relative path is judged by where it leads.
plant dsp/planted.cpp ../common/fileio.h "dsp/planted.cpp:1: dsp may not include common"
# Test helpers stay in tests.
plant talvex/survey/planted.cpp records/tests/seg2writer.h "talvex/survey/planted.cpp:1: includes the test helper"
# A folder the table does not know is refused rather than let through.
plant newfolder/planted.cpp common/fileio.h "newfolder/planted.cpp: folder newfolder is not in the layer table"

# What the rule allows passes: a test may use another module's test helper.
printf '#include "records/tests/seg2writer.h"\n' >"$work/talvex/survey/tests/planted_test.cpp"
check
if [ "$status" -ne 0 ]; then
    printf 'check-layers: a test using a test helper fails:\n%s\n' "$output"
    exit 1
fi

echo "check-layers: the tree passes, 6 planted includes are refused"
