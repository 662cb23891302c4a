#!/usr/bin/env bash
# Makes the sample records that ship with the package, the way
# scripts/run-sample.sh makes them: the synthetic field records of the 20 m
# hole ZK1 (a positive and a negative blow per metre), the survey ZK1.qsw
# built from them with the arrivals picked and the layers of the model, and,
# when sedra-cli is given, one microtremor record of the simulated card.
#
# Usage: samples.sh TALVEX-SAMPLEGEN TALVEX-CLI OUTDIR [SEDRA-CLI]
set -euo pipefail
samplegen=$1
cli=$2
out=$3
sedra=${4:-}
export QT_QPA_PLATFORM=offscreen

work="$out.tmp"
rm -rf "$work"
mkdir -p "$work"
"$samplegen" --out "$work/ZK1" --hole ZK1 --site 示例工程 --arrivals | tail -n +2 >"$work/arrivals.txt"
# A fixed date keeps the package the same from one build to the next.
"$cli" new "$work/ZK1.qsw" --project 示例工程 --hole ZK1 --hole-depth 20 --spacing 1 --source-distance 1.5 \
    --personnel 现场测试组 --date 2026-12-07 >/dev/null
"$cli" import-folder "$work/ZK1.qsw" "$work/ZK1" >/dev/null
while read -r point sample; do
    "$cli" pick "$work/ZK1.qsw" --point "$point" --sample "$sample" >/dev/null
done <"$work/arrivals.txt"
"$cli" recalc "$work/ZK1.qsw" >/dev/null
for depth in 2 6 11 16 20; do
    "$cli" layers "$work/ZK1.qsw" insert --depth "$depth" >/dev/null
done
"$cli" layers "$work/ZK1.qsw" refresh >/dev/null
rm -f "$work/arrivals.txt" "$work/ZK1.qsw.lock"
if [ -n "$sedra" ]; then
    SEDRA_CARD=sim SEDRA_SIM=seed=7 "$sedra" acquire "$work/microtremor.cwd" --site 示例工程 --point 1 >/dev/null
fi
rm -rf "$out"
mv "$work" "$out"
