#!/bin/sh
# Writes the shell completions of velvanto-theme into OUTPUT_DIR, each from
# its template in SOURCE_DIR with the program's table of commands
# (velvanto-theme --completion-table) in place of @TABLE@, quoted as the
# shell's single-quoted strings want it: velvanto-theme.bash (bash),
# _velvanto-theme (zsh) and velvanto-theme.fish (fish).
# Usage: make-completions.sh PROGRAM SOURCE_DIR OUTPUT_DIR
set -eu
program="$1"
source="$2"
output="$3"
table=$(LC_ALL=C.UTF-8 LANGUAGE= QT_QPA_PLATFORM=offscreen "$program" --completion-table)
mkdir -p "$output"
# Writes the template $1 as $2 with the text $3 for @TABLE@.
fill() {
    TABLE="$3" awk '{
        at = index($0, "@TABLE@")
        if (at) $0 = substr($0, 1, at - 1) ENVIRON["TABLE"] substr($0, at + 7)
        print
    }' "$source/$1" >"$output/$2.tmp"
    mv "$output/$2.tmp" "$output/$2"
}
posix=$(printf '%s\n' "$table" | sed "s/'/'\\\\''/g")
fish=$(printf '%s\n' "$table" | sed -e 's/\\/\\\\/g' -e "s/'/\\\\'/g")
fill velvanto-theme.bash.in velvanto-theme.bash "$posix"
fill _velvanto-theme.in _velvanto-theme "$posix"
fill velvanto-theme.fish.in velvanto-theme.fish "$fish"
