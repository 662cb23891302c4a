#!/usr/bin/env bash
# Makes the sample hole the manuals are illustrated with, as run-sample.sh
# does: the field records of a 20 m hole, a survey with the generator's picks,
# five velocity layers and the survey log.
#   make-sample.sh TALVEX-CLI TALVEX-SAMPLEGEN OUTDIR
set -euo pipefail
cli=$1
samplegen=$2
out=$3
rm -rf "$out"
mkdir -p "$out"
"$samplegen" --out "$out/ZK1" --hole ZK1 --site 示例工程 --arrivals | tail -n +2 >"$out/arrivals.txt"
"$cli" new "$out/ZK1.qsw" --project 示例工程 --hole ZK1 --hole-depth 20 --spacing 1 --source-distance 1.5 \
  --personnel 现场测试组 --date 2026-12-7 >/dev/null
"$cli" import-folder "$out/ZK1.qsw" "$out/ZK1" >/dev/null
while read -r point sample; do
  "$cli" pick "$out/ZK1.qsw" --point "$point" --sample "$sample" >/dev/null
done <"$out/arrivals.txt"
"$cli" recalc "$out/ZK1.qsw" >/dev/null
for depth in 2 6 11 16 20; do
  "$cli" layers "$out/ZK1.qsw" insert --depth "$depth" >/dev/null
done
"$cli" layers "$out/ZK1.qsw" refresh >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 2 --soil 素填土 --pattern 1 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 6 --soil 粉质粘土 --pattern 6 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 11 --soil 中砂 --pattern 25 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 20 --soil 卵石 --pattern 32 >/dev/null
