#!/usr/bin/env bash
# Writes the man page of a program from its own --help and
# --version (help2man), with a section holding each subcommand's --help, and
# compresses it as Debian wants (gzip -9n: no name, no time stamp).
#
# Usage: manpage.sh PROGRAM NAME-LINE OUT.1.gz
set -euo pipefail
program=$1
description=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/helptext.sh"

name=$(basename "$program")
# The programs name themselves as they were called: call them by their bare
# name, through a link on the PATH, so that no build path shows in the page.
mkdir "$work/bin"
ln -s "$(realpath "$program")" "$work/bin/$name"
export PATH="$work/bin:$PATH"
program=$name

# A roff block that shows text as it is: backslashes escaped, lines starting
# with a control character protected.
verbatim() {
    echo ".nf"
    sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
    echo ".fi"
}

{
    # The name line goes in through the include file: help2man takes its
    # --name argument as Latin-1.
    echo "[NAME]"
    echo "$name \\- $description"
    commands=$(help_commands "$program")
    if [ -n "$commands" ]; then
        echo "[命令]"
        echo "每个命令的参数和选项（\"$name 命令 --help\" 的输出）。"
        for command in $commands; do
            echo ".SS \"$name $command\""
            "$program" "$command" --help 2>&1 | verbatim
        done
    fi
    echo "[参见]"
    echo "README 与用户手册：/usr/share/doc/@PACKAGE@/"
} >"$work/include"
sed -i "s|@PACKAGE@|${SUITE_PACKAGE_NAME:-site-seismic-suite}|" "$work/include"

help2man --locale=C.UTF-8 --no-info --no-discard-stderr --section 1 \
    --include "$work/include" --output "$work/$name.1" "$program"
gzip -9n <"$work/$name.1" >"$out.tmp"
mv "$out.tmp" "$out"
