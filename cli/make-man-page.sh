#!/bin/sh
# Writes the manual page velvanto-theme(1) to OUTPUT with help2man, from the
# program's help texts (the program's own, then each command's it lists) and
# the sections of INCLUDE (JSON output, exit status, environment, files,
# examples, see also), in the program's source language.
# Usage: make-man-page.sh PROGRAM INCLUDE OUTPUT
set -eu
program="$1"
sections="$2"
output="$3"
export LC_ALL=C.UTF-8 LANGUAGE= QT_QPA_PLATFORM=offscreen
# The commands, as the program's help lists them (two spaces, then the name).
commands=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p')
include=$(mktemp)
trap 'rm -f "$include" "$output.tmp"' EXIT
printf '[COMMANDS]\n' >"$include"
for command in $commands; do
    printf '.SS %s\n.nf\n' "$command" >>"$include"
    "$program" "$command" --help | sed -e 's/\\/\\e/g' -e 's/^\./\\\&./' >>"$include"
    printf '.fi\n' >>"$include"
done
cat "$sections" >>"$include"
help2man --no-info --section=1 --name="checks, describes, makes and applies Dock themes" \
    --include="$include" --output="$output.tmp" "$program"
mv "$output.tmp" "$output"
