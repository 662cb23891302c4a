#!/usr/bin/env bash
# Writes the bash completion of a command-line program from its own --help:
# its subcommands, each subcommand's options (from its --help), the words its
# usage line offers (waveforms|points|layers, list | insert | …) and the
# values an option lists (--method 0|1). Generated at build time, so it
# follows the programs; anything else completes as a file name.
#
# Usage: completion.sh PROGRAM OUT
set -euo pipefail
program=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/helptext.sh"
name=$(basename "$program")
function_name="_$(echo "$name" | tr -c 'a-zA-Z0-9\n' '_')_complete"

# One help text in, shell lines out: options="…" words="…" valued="…" and one
# "values_<n>" pair per option that lists its values.
parse_help() {
    awk -v skip="$1" '
    function addword(w) { if (w ~ /^[a-z][a-z0-9-]*$/ && !(w in seenword)) { seenword[w] = 1; words = words " " w } }
    function addopt(o) { if (!(o in seenopt)) { seenopt[o] = 1; options = options " " o } }
    function addvalues(o, valuename,   n, choices, i) {
        valued[o] = 1
        if (valuename ~ /^[a-z0-9.]+(\|[a-z0-9.]+)+$/) {
            n = split(valuename, choices, "|")
            values[o] = ""
            for (i = 1; i <= n; i++) values[o] = values[o] " " choices[i]
        }
    }
    NR == 1 && /^用法/ {
        line = $0
        sub(/^用法(：|:) */, "", line)
        gsub(/[][(){}]/, " ", line)
        n = split(line, t, " ")
        for (i = skip + 1; i <= n; i++) {
            if (t[i] ~ /^--[a-z0-9-]+$/) {
                addopt(t[i])
                # A value placeholder (FILE, N, 0|1) follows an option that takes one.
                if (i < n && (t[i + 1] ~ /^[A-Z][A-Z0-9_.,]*$/ || t[i + 1] ~ /^[a-z0-9.]+(\|[a-z0-9.]+)+$/)) {
                    addvalues(t[i], t[i + 1]); i++
                }
            } else if (t[i] ~ /^[a-z][a-z0-9-]*(\|[a-z][a-z0-9-]*)*$/) {
                m = split(t[i], alt, "|")
                for (j = 1; j <= m; j++) addword(alt[j])
            }
        }
        next
    }
    /^[^ ].*(：|:)[[:space:]]*$/ { section = $0; next }
    /^[[:space:]]*$/ { next }
    section ~ /^选项/ && match($0, /^  (-h, )?--[a-z0-9-]+/) {
        o = substr($0, RSTART, RLENGTH); sub(/^  (-h, )?/, "", o)
        addopt(o)
        # The options list decides whether an option takes a value.
        delete valued[o]
        rest = substr($0, RSTART + RLENGTH)
        if (rest ~ /^ [^ ]/) { split(rest, v, " "); addvalues(o, v[1]) }
        next
    }
    section != "" && section !~ /^(选项|命令|环境变量|退出状态)/ && /^  [a-z]/ {
        line = $0
        sub(/   .*$/, "", line)
        n = split(line, parts, " [|] ")
        for (i = 1; i <= n; i++) { split(parts[i], w, " "); sub(/^ +/, "", parts[i]); addword(w[1]) }
    }
    END {
        printf "options=\"%s\" words=\"%s\" valued=\"", substr(options, 2), substr(words, 2)
        s = ""
        for (o in valued) s = s " " o
        printf "%s\"\n", substr(s, 2)
        for (o in values) printf "%s) COMPREPLY=($(compgen -W \"%s\" -- \"$cur\")); return ;;\n", o, substr(values[o], 2)
    }'
}

# The case arm of one command: its lists, then the values of its options.
command_arm() {
    local parsed
    parsed=$(parse_help "$2")
    echo "    $1)"
    echo "        $(head -n 1 <<<"$parsed")"
    if [ "$(wc -l <<<"$parsed")" -gt 1 ]; then
        echo '        case "$prev" in'
        tail -n +2 <<<"$parsed" | sed 's/^/        /'
        echo '        esac'
        echo '        ;;'
    else
        echo '        ;;'
    fi
}

commands=$(help_commands "$program" | tr '\n' ' ')
{
    echo "# bash completion for $name, generated from its --help when the package was built."
    echo "$function_name() {"
    echo '    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}'
    echo '    local options="" words="" valued=""'
    echo '    COMPREPLY=()'
    if [ -n "$commands" ]; then
        echo "    if [ \"\$COMP_CWORD\" -eq 1 ]; then"
        echo "        COMPREPLY=(\$(compgen -W \"${commands% } --help --version\" -- \"\$cur\"))"
        echo "        return"
        echo "    fi"
        echo '    case "${COMP_WORDS[1]}" in'
        for command in $commands; do
            "$program" "$command" --help 2>&1 | command_arm "$command" 2
        done
        echo '    esac'
    else
        echo '    case x in'
        "$program" --help 2>&1 | command_arm x 1
        echo '    esac'
    fi
    cat <<'BODY'
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # The value of an option that takes one: a file name or free text.
    case " $valued " in *" $prev "*) return ;; esac
    COMPREPLY=($(compgen -W "$words" -- "$cur"))
}
BODY
    echo "complete -o default -F $function_name $name"
} >"$out.tmp"
bash -n "$out.tmp"
mv "$out.tmp" "$out"
