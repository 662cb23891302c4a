#!/usr/bin/env bash
# Runs clang-tidy with the checks of the root .clang-tidy over the layers
# that compute and parse (signal processing, the record formats, the survey
# and its analysis, SEDRA's and KIVARO's logic: where a likely bug costs a
# wrong number or a lost file), one file per core. Each file takes seconds,
# so the layers of widgets, painters and command lines are left to the
# compiler's warnings.
#   check-tidy.sh BUILD_DIR [ROOT]
# BUILD_DIR holds compile_commands.json. Prints every finding; fails when
# there is one.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "${2:-$(dirname "$0")/..}" && pwd)
tidy=${CLANG_TIDY:-clang-tidy-14}
if ! command -v "$tidy" >/dev/null; then
    echo "tidy: $tidy is missing (clang-tidy-14)"
    exit 1
fi
if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy: no compile_commands.json in $build"
    exit 1
fi

folders=(dsp records talvex/survey talvex/processing talvex/analysis sedra/core kivaro/core)
cd "$root"
# Windows-only files and the GUI helpers of common are left to their own checks.
mapfile -t files < <(git ls-files "${folders[@]}" | grep -E '\.cpp$' |
    grep -v -E '(^|/)(tests|bench|fuzz|widgets|imaging)/|(^|/)win[^/]*\.cpp$')

log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
# A build with precompiled headers (SUITE_PCH) forces GCC's header into each
# file; clang cannot read it, and each file is checked as it is written, so
# the forced include is dropped.
sed -E 's# -Winvalid-pch -include [^ "]*/cmake_pch\.hxx##g' "$build/compile_commands.json" >"$log/compile_commands.json"
tidy_one() {
    local n=$1 f=$2
    if ! "$tidy" -p "$log" --quiet "$f" >"$log/$n.log" 2>&1; then
        echo "$f" >"$log/$n.failed"
    fi
}
n=0
for f in "${files[@]}"; do
    while (($(jobs -rp | wc -l) >= $(nproc))); do wait -n || true; done
    n=$((n + 1))
    tidy_one "$n" "$f" &
done
wait

failures=$(find "$log" -name '*.failed' | wc -l)
if ((failures)); then
    for ((i = 1; i <= n; i++)); do
        [ -f "$log/$i.failed" ] && grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log/$i.log"
    done
    echo "tidy: findings in $failures of ${#files[@]} files"
    exit 1
fi
echo "tidy: ${#files[@]} files clean"
