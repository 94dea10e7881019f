#!/bin/sh
# Each committed .ts is complete and current: lupdate, run as the build runs it
# into a copy, adds or changes nothing and leaves no message unfinished.
# translations_current_test.sh LUPDATE TS_FOLDER LUPDATE_ARGUMENTS...
set -eu
lupdate=$1 folder=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$folder"/velvanto_*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    "$lupdate" -silent "$@" -ts "$copy"
    if ! cmp -s "$ts" "$copy" || grep -q 'type="unfinished"' "$copy"; then
        echo "$(basename "$ts"): build velvanto_lupdate and translate:" >&2
        awk '/<source>/ { s = $0 } /type="unfinished"/ { print s }' "$copy" >&2
        status=1
    fi
done
exit $status
