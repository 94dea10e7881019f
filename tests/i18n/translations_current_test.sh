#!/bin/sh
# The committed translations are complete and current: lupdate, run with the
# build's arguments over the sources into a copy of each .ts, finds no new or
# changed text and leaves no message unfinished. Prints the texts that need a
# translation (run the target velvanto_lupdate, then translate them).
# translations_current_test.sh LUPDATE TS_FOLDER LUPDATE_ARGUMENTS...
set -eu
lupdate=$1
folder=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$folder"/velvanto_*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent "$@" -ts "$copy"
    if grep -q 'type="unfinished"' "$copy"; then
        echo "$(basename "$ts") lacks translations of:" >&2
        awk '/<source>/ { source = $0 } /type="unfinished"/ { print source }' "$copy" >&2
        status=1
    elif ! cmp -s "$ts" "$copy"; then
        echo "$(basename "$ts") is not current: build the target velvanto_lupdate" >&2
        diff "$ts" "$copy" >&2 || true
        status=1
    fi
done
exit $status
