#!/usr/bin/env bash
# Checks every #include "…" of the tree against the layer table in
# docs/architecture.md (the lines between the layer-table markers): a file
# may include its own module and what its module may include, directly or
# through the modules below it. Prints each include against the rule as
# file:line and exits 1 when there is one; 0 when all keep the rule; 2 when
# the table cannot be read.
#
# A module is the longest folder of the table a file lies in. Files in a
# tests, bench or fuzz folder belong to the module around that folder and may
# in addition include the test helpers of any module and the generators in
# tools/. Includes without a folder ("x.h") name the file's own folder or a
# helper on a test's include path and are not checked.
#
# Usage: check-layers.sh [ROOT]   (ROOT: the source tree, the repository by default)
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
table_doc="$root/docs/architecture.md"
if [ ! -f "$table_doc" ]; then
    echo "check-layers: no layer table ($table_doc)" >&2
    exit 2
fi
table=$(sed -n '/<!-- layer-table:begin -->/,/<!-- layer-table:end -->/p' "$table_doc" \
    | grep -v -e '^<!--' -e '^```' -e '^[[:space:]]*#' -e '^[[:space:]]*$' || true)
if [ -z "$table" ]; then
    echo "check-layers: the layer table in $table_doc is empty or its markers are missing" >&2
    exit 2
fi

cd "$root"
# path:line:text of every quoted include, paths relative to the root.
includes=$(find . \( -name 'build*' -o -name '.?*' \) -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print \
    | sed 's|^\./||' | sort | tr '\n' '\0' \
    | xargs -0 -r grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' || true)

awk -v table="$table" '
function moduleOf(path,   k, best) {
    best = ""
    for (k in isModule)
        if ((path == k || index(path, k "/") == 1) && length(k) > length(best))
            best = k
    return best
}
# The folder of a path and whether it lies in a tests, bench or fuzz folder;
# sets owner to the folder around that one.
function testOwner(dir,   n, parts, i, o) {
    n = split(dir, parts, "/")
    o = ""
    for (i = 1; i <= n; ++i) {
        if (parts[i] == "tests" || parts[i] == "bench" || parts[i] == "fuzz") {
            owner = o
            return 1
        }
        o = (o == "" ? parts[i] : o "/" parts[i])
    }
    owner = dir
    return 0
}
function normalise(path,   n, parts, out, m, i) {
    n = split(path, parts, "/")
    m = 0
    for (i = 1; i <= n; ++i) {
        if (parts[i] == "." || parts[i] == "")
            continue
        if (parts[i] == "..") {
            if (m > 0)
                --m
            continue
        }
        out[++m] = parts[i]
    }
    path = ""
    for (i = 1; i <= m; ++i)
        path = (i == 1 ? out[i] : path "/" out[i])
    return path
}
function dirOf(path) {
    return sub(/\/[^\/]*$/, "", path) ? path : ""
}
BEGIN {
    n = split(table, lines, "\n")
    for (i = 1; i <= n; ++i) {
        line = lines[i]
        sub(/#.*/, "", line)
        if (line !~ /:/)
            continue
        module = line
        sub(/[[:space:]]*:.*/, "", module)
        sub(/^[[:space:]]+/, "", module)
        deps = line
        sub(/^[^:]*:/, "", deps)
        isModule[module] = 1
        m = split(deps, d, /[[:space:]]+/)
        for (j = 1; j <= m; ++j)
            if (d[j] != "")
                reach[module, d[j]] = 1
    }
    # What a module may include through the modules below it.
    do {
        changed = 0
        for (pair in reach) {
            split(pair, ab, SUBSEP)
            for (c in isModule)
                if ((ab[2], c) in reach && !((ab[1], c) in reach)) {
                    reach[ab[1], c] = 1
                    changed = 1
                }
        }
    } while (changed)
    bad = 0
}
{
    file = $0
    sub(/:.*/, "", file)
    rest = substr($0, length(file) + 2)
    lineNo = rest
    sub(/:.*/, "", lineNo)
    text = substr(rest, length(lineNo) + 2)
    inc = text
    sub(/^[^"]*"/, "", inc)
    sub(/".*/, "", inc)
    if (inc !~ /\//)
        next
    dir = dirOf(file)
    isTest = testOwner(dir)
    own = moduleOf(owner)
    # A tests folder of a program rather than of one library has a line of its own.
    if (own == "" && isTest)
        own = moduleOf(dir)
    if (own == "") {
        if (!(file in reportedFile))
            printf "%s: folder %s is not in the layer table (docs/architecture.md)\n", file, dir
        reportedFile[file] = 1
        bad = 1
        next
    }
    target = (inc ~ /^\.\.?\//) ? normalise(dir "/" inc) : normalise(inc)
    if (testOwner(dirOf(target))) {
        if (!isTest) {
            printf "%s:%s: includes the test helper \"%s\" outside a test\n", file, lineNo, inc
            bad = 1
        }
        next
    }
    them = moduleOf(target)
    if (them == "") {
        printf "%s:%s: includes \"%s\", whose folder is not in the layer table\n", file, lineNo, inc
        bad = 1
        next
    }
    if (them == own || (own, them) in reach)
        next
    if (isTest && index(them, "tools/") == 1)
        next
    printf "%s:%s: %s may not include %s (\"%s\")\n", file, lineNo, own, them, inc
    bad = 1
}
END { exit bad }
' <<<"$includes"
