#!/usr/bin/env bash
# Applies the stock theme's 30 images with VelvantoHelper into a temporary
# root, against cp of the same 30 files, alternating, many runs; prints the
# median of each and their ratio.  Usage: bench/apply_vs_cp.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-101}
resources="$build/Velvanto.app/Contents/Resources"
theme="$resources/DefaultDock.docktheme"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dock="$tmp/root/System/Library/CoreServices/Dock.app/Contents/Resources"
mkdir -p "$dock" "$tmp/cp"
printf '#!/bin/sh\nexit 0\n' > "$tmp/killall"; chmod +x "$tmp/killall"
files=("$theme"/images/*)
now() { date +%s%N; }
tool=() copy=()
for ((i = 0; i < runs; i++)); do
    t0=$(now)
    VELVANTO_ROOT="$tmp/root" VELVANTO_KILLALL="$tmp/killall" "$resources/VelvantoHelper" "$theme" 2>/dev/null || true
    t1=$(now)
    cp -f "${files[@]}" "$tmp/cp/"
    t2=$(now)
    tool+=($((t1 - t0))); copy+=($((t2 - t1)))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mt=$(median "${tool[@]}"); mc=$(median "${copy[@]}")
awk -v t="$mt" -v c="$mc" -v n="$runs" 'BEGIN {
    printf "runs %d: VelvantoHelper median %.2f ms, cp median %.2f ms, ratio %.2f (target <= 1.5)\n", n, t/1e6, c/1e6, t/c }'
