# Reading a command-line program's own --help: shared by manpage.sh and
# completion.sh (sourced, not run). The programs print their texts in UTF-8
# whatever the locale; Qt Gui may be loaded, so no display is used.
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8

# A scratch folder $work, removed at exit. Qt warns on standard error without
# a runtime folder (that warning is no help text), so one is made in it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -m 700 "$work/runtime"
    export XDG_RUNTIME_DIR="$work/runtime"
fi

# The subcommands listed under "命令：" (or "命令:") of PROGRAM --help, one a
# line; nothing for a program without subcommands.
help_commands() {
    "$1" --help 2>&1 | awk '
        /^命令(：|:)[[:space:]]*$/ { inside = 1; next }
        inside && /^[[:space:]]*$/ { exit }
        inside && match($0, /^  [a-z][a-z0-9-]*/) { print substr($0, 3, RLENGTH - 2) }'
}
