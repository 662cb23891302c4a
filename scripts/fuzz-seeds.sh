#!/usr/bin/env bash
# Seed inputs for the fuzzers, made with the programs of a normal build:
# a sample survey document and field records.
set -euo pipefail
build=$1
seeds=$2
rm -rf "$seeds"
mkdir -p "$seeds/qsw_fuzzer" "$seeds/cwd_fuzzer"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$build/tools/samplegen/talvex-samplegen" --out "$tmp/rec" --depth 3 --channels 2 >/dev/null
cp "$tmp/rec/"*A.cwd "$seeds/cwd_fuzzer/"
"$build/talvex/cli/talvex-cli" new "$tmp/s.qsw" --hole-depth 2 >/dev/null
cp "$tmp/s.qsw" "$seeds/qsw_fuzzer/small.qsw"
# A survey without points: a one-point survey whose point is deleted.
"$build/talvex/cli/talvex-cli" new "$tmp/e.qsw" --hole-depth 1 >/dev/null
"$build/talvex/cli/talvex-cli" delete-point "$tmp/e.qsw" --point 1 >/dev/null
cp "$tmp/e.qsw" "$seeds/qsw_fuzzer/empty.qsw"
