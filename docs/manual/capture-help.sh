#!/usr/bin/env bash
# Writes a program's own usage text (its --help) to a file for the manual.
#   capture-help.sh OUT PROGRAM ARGS...
set -euo pipefail
out=$1
shift
QT_QPA_PLATFORM=offscreen "$@" >"$out.tmp"
# The build folder's path means nothing to a reader: the program's name stays.
sed -i "s|$(dirname "$1")/||g" "$out.tmp"
mv "$out.tmp" "$out"
