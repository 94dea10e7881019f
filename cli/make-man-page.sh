#!/bin/sh
# Writes the manual page velvanto-theme(1) to OUTPUT with help2man, from the
# program's help texts: the program's own, then each command's it lists.
# Usage: make-man-page.sh PROGRAM OUTPUT
set -eu
program="$1"
output="$2"
# The commands, as the program's help lists them (two spaces, then the name).
commands=$(QT_QPA_PLATFORM=offscreen "$program" --help |
    sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p')
include=$(mktemp)
trap 'rm -f "$include" "$output.tmp"' EXIT
printf '[COMMANDS]\n' >"$include"
for command in $commands; do
    printf '.SS %s\n.nf\n' "$command" >>"$include"
    QT_QPA_PLATFORM=offscreen "$program" "$command" --help | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./' >>"$include"
    printf '.fi\n' >>"$include"
done
QT_QPA_PLATFORM=offscreen help2man --no-info --section=1 --name="checks, describes, makes and applies Dock themes" \
    --include="$include" --output="$output.tmp" "$program"
mv "$output.tmp" "$output"
