#!/usr/bin/env bash
# Sets up, builds, and runs the main job on the bundled sample: synthetic
# field records of a 20 m hole are generated and imported into a new survey,
# the S-wave arrivals are picked, point, layer and site velocities computed,
# and the survey's summary, results and exports are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"

# Qt wants a private runtime folder; root shells often have none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
fi

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev >/dev/null
cmake --build "$build" --target talvex-cli talvex-samplegen >/dev/null

cli="$build/talvex/cli/talvex-cli"
out="$root/build/sample"
rm -rf "$out"
mkdir -p "$out"

"$build/tools/samplegen/talvex-samplegen" --out "$out/ZK1" --hole ZK1 --site 示例工程 --arrivals \
  | tail -n +2 >"$out/arrivals.txt"
"$cli" new "$out/ZK1.qsw" --project 示例工程 --hole ZK1 --hole-depth 20 --spacing 1 --source-distance 1.5 \
  --personnel 现场测试组 >/dev/null
"$cli" import-folder "$out/ZK1.qsw" "$out/ZK1"

# Pick each point's S-wave arrival where the records put it, then recompute.
while read -r point sample; do
  "$cli" pick "$out/ZK1.qsw" --point "$point" --sample "$sample" >/dev/null
done <"$out/arrivals.txt"
"$cli" recalc "$out/ZK1.qsw" >/dev/null
echo
"$cli" points "$out/ZK1.qsw"

# Velocity layers at the boundaries of the model.
for depth in 2 6 11 16 20; do
  "$cli" layers "$out/ZK1.qsw" insert --depth "$depth" >/dev/null
done
echo
echo "Velocity layers:"
"$cli" layers "$out/ZK1.qsw" refresh
echo
"$cli" results "$out/ZK1.qsw"
echo
"$cli" site-velocity "$out/ZK1.qsw"
echo
echo "Site classes:"
"$cli" site-class "$out/ZK1.qsw"
echo
echo "Automatic arrival suggestions (the picks above came from the generator):"
"$cli" autopick "$out/ZK1.qsw" | head -n 6
echo "..."
echo
"$cli" info "$out/ZK1.qsw"
"$cli" export waveforms "$out/ZK1.qsw" "$out/ZK1-waveforms" >/dev/null
"$cli" export points "$out/ZK1.qsw" "$out/ZK1-points" >/dev/null
"$cli" export layers "$out/ZK1.qsw" "$out/ZK1-layers" >/dev/null
echo
echo "Point velocity table ($out/ZK1-points.xls, GBK, shown here in UTF-8):"
iconv -f GBK -t UTF-8 "$out/ZK1-points.xls" | head -n 6
echo "..."
echo
echo "Layer velocity table ($out/ZK1-layers.xls):"
iconv -f GBK -t UTF-8 "$out/ZK1-layers.xls"

# The main view in its six display modes (0 multi-trace ... 5 time-distance), as PNG.
echo
echo "View images:"
for mode in 0 1 2 3 4 5; do
  "$cli" render "$out/ZK1.qsw" "$out/ZK1-view$mode.png" --mode "$mode" --point 10 --cursor 520 \
    --record "$out/ZK1/ZK1&10A.cwd"
done

# The survey log of the hole, then the printed report of the survey as a PDF
# file and as bitmap figures (page setup as stored by the talvex window).
"$cli" log "$out/ZK1.qsw" add --bottom 2 --soil 素填土 --pattern 1 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 6 --soil 粉质粘土 --pattern 6 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 11 --soil 中砂 --pattern 25 >/dev/null
"$cli" log "$out/ZK1.qsw" add --bottom 20 --soil 卵石 --pattern 32 >/dev/null
echo
echo "Report pages:"
"$cli" pages "$out/ZK1.qsw"
"$cli" report "$out/ZK1.qsw" "$out/ZK1-report.pdf"
"$cli" figures "$out/ZK1.qsw" "$out/ZK1" >/dev/null
echo "Figures: $out/ZK1-波速直方图.bmp … ZK1-原始波形图0.bmp"
echo
echo "Files in $out:"
ls -l "$out" | tail -n +2

# One microtremor acquisition with the simulated card, and its predominant periods.
cmake --build "$build" --target sedra-cli >/dev/null
echo
echo "Microtremor acquisition (simulated card, 3 channels x 1024 samples at 8000 us):"
SEDRA_CARD=sim SEDRA_SIM=freq=2.0/3.5/6.0,noise=0.2,seed=7 QT_QPA_PLATFORM=offscreen \
  "$build/sedra/cli/sedra-cli" acquire "$out/microtremor.cwd" --channels 3 --site 示例工程 --point 1 \
  --port-log "$out/microtremor-ports.log"
QT_QPA_PLATFORM=offscreen "$build/sedra/cli/sedra-cli" analyze "$out/microtremor.cwd"

# With a display the sample survey opens in the talvex window; without one the
# view is in the six images written above.
echo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  cmake --build "$build" --target talvex >/dev/null
  echo "Opening $out/ZK1.qsw in talvex."
  nohup "$build/talvex/ui/talvex" "$out/ZK1.qsw" >/dev/null 2>&1 &
else
  echo "No display: the sample's view is in $out/ZK1-view0.png … ZK1-view5.png;"
  echo "its report is in $out/ZK1-report.pdf and its figures in $out/ZK1-*.bmp;"
  echo "on a desktop this command also opens $out/ZK1.qsw in talvex."
fi
