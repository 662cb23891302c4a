#!/usr/bin/env bash
# Sets up, builds, and runs the main job on the bundled sample: synthetic
# field records of a 20 m hole are generated, imported into a new survey and
# the survey's summary and exports are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev >/dev/null
cmake --build "$build" --target talvex-cli talvex-samplegen >/dev/null

cli="$build/talvex/cli/talvex-cli"
out="$root/build/sample"
rm -rf "$out"
mkdir -p "$out"

"$build/tools/samplegen/talvex-samplegen" --out "$out/ZK1" --hole ZK1 --site 示例工程
"$cli" new "$out/ZK1.qsw" --project 示例工程 --hole ZK1 --hole-depth 20 --spacing 1 --source-distance 1.5 \
  --personnel 现场测试组 >/dev/null
"$cli" import-folder "$out/ZK1.qsw" "$out/ZK1"
echo
"$cli" info "$out/ZK1.qsw"
"$cli" export waveforms "$out/ZK1.qsw" "$out/ZK1-waveforms" >/dev/null
"$cli" export points "$out/ZK1.qsw" "$out/ZK1-points" >/dev/null
"$cli" export layers "$out/ZK1.qsw" "$out/ZK1-layers" >/dev/null
echo
echo "Point velocity table ($out/ZK1-points.xls, GBK, shown here in UTF-8):"
iconv -f GBK -t UTF-8 "$out/ZK1-points.xls" | head -n 8
echo "..."
echo
echo "Files in $out:"
ls -l "$out" | tail -n +2
