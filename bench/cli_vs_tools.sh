#!/usr/bin/env bash
# velvanto-theme against the shell's own tools on the same files, alternating,
# many runs; prints the median and spread of each and their ratio:
#   check of 300 bundles      against cat of their files to /dev/null (target <= 2)
#   batch of 300 folders      against one cp -r of its output (target <= 1.5)
#   --version                 against /bin/true (recorded: the start-up floor)
# Usage: bench/cli_vs_tools.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build=${1:-build}
runs=${2:-21}
program="$build/Velvanto.app/Contents/MacOS/velvanto-theme"
theme="$build/Velvanto.app/Contents/Resources/DefaultDock.docktheme"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp/home" VELVANTO_ROOT="$tmp/root"
mkdir -p "$HOME" "$tmp/bundles" "$tmp/folders"
for ((i = 0; i < 300; i++)); do
    cp -r "$theme" "$tmp/bundles/theme$i.docktheme"
    cp -r "$theme/images" "$tmp/folders/folder$i"
done
bundles=("$tmp"/bundles/*.docktheme)
check=() cat=() batch=() copy=() version=() true=()
for ((i = 0; i < runs; i++)); do
    rm -rf "$tmp/made" "$tmp/copied"
    mkdir "$tmp/made"
    t0=$(now)
    "$program" check -- "${bundles[@]}" >/dev/null
    t1=$(now)
    find "$tmp/bundles" -type f -exec cat {} + >/dev/null
    t2=$(now)
    "$program" batch "$tmp/folders" "$tmp/made" >/dev/null
    t3=$(now)
    cp -r "$tmp/made" "$tmp/copied"
    t4=$(now)
    "$program" --version >/dev/null
    t5=$(now)
    /bin/true
    t6=$(now)
    check+=($((t1 - t0))); cat+=($((t2 - t1))); batch+=($((t3 - t2))); copy+=($((t4 - t3)))
    version+=($((t5 - t4))); true+=($((t6 - t5)))
done
line() {
    read -r m1 lo1 hi1 <<<"$(stats "${@:4:$2}")"
    read -r m2 lo2 hi2 <<<"$(stats "${@:$((4 + $2))}")"
    awk -v name="$1" -v target="$3" -v a="$m1" -v al="$lo1" -v ah="$hi1" -v b="$m2" -v bl="$lo2" -v bh="$hi2" 'BEGIN {
        printf "%-22s %8.2f ms (%.2f-%.2f) vs %8.2f ms (%.2f-%.2f): ratio %.2f%s\n",
            name, a, al, ah, b, bl, bh, a / b, target }'
}
echo "runs $runs, 300 bundles / folders of the stock theme's 30 images"
line "check vs cat" "${#check[@]}" " (target <= 2)" "${check[@]}" "${cat[@]}"
line "batch vs cp -r" "${#batch[@]}" " (target <= 1.5)" "${batch[@]}" "${copy[@]}"
line "--version vs true" "${#version[@]}" "" "${version[@]}" "${true[@]}"
