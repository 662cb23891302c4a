#!/usr/bin/env bash
# Makes the sample records that ship with the package, the way
# scripts/run-sample.sh makes them: the synthetic field records of the 20 m
# hole ZK1 (a positive and a negative blow per metre), the survey ZK1.qsw
# built from them with the arrivals picked, layers and survey log, and,
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
# The hole is the one the manuals show (picks, layers and survey log).
bash "$(dirname "$0")/../docs/manual/make-sample.sh" "$cli" "$samplegen" "$work"
rm -f "$work/arrivals.txt" "$work/ZK1.qsw.lock"
if [ -n "$sedra" ]; then
    SEDRA_CARD=sim SEDRA_SIM=seed=7 "$sedra" acquire "$work/microtremor.cwd" --site 示例工程 --point 1 >/dev/null
fi
rm -rf "$out"
mv "$work" "$out"
