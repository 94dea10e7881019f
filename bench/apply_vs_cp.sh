#!/usr/bin/env bash
# Applies the stock theme's 30 images with VelvantoHelper into a temporary
# root, against cp of the same 30 files, alternating, many runs; prints the
# median of each and their ratio: for a first apply (the Dock's own 30 images
# kept before the change) and for later ones.
# Usage: bench/apply_vs_cp.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/timing.sh"
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
first=() tool=() copy=()
for ((i = 0; i < runs; i++)); do
    # A Dock that no theme has changed yet: its own images are kept first.
    rm -rf "$tmp/root/Library"
    cp -f "${files[@]}" "$dock/"
    t0=$(now)
    VELVANTO_ROOT="$tmp/root" VELVANTO_KILLALL="$tmp/killall" "$resources/VelvantoHelper" "$theme" 2>/dev/null || true
    t1=$(now)
    VELVANTO_ROOT="$tmp/root" VELVANTO_KILLALL="$tmp/killall" "$resources/VelvantoHelper" "$theme" 2>/dev/null || true
    t2=$(now)
    cp -f "${files[@]}" "$tmp/cp/"
    t3=$(now)
    first+=($((t1 - t0))); tool+=($((t2 - t1))); copy+=($((t3 - t2)))
done
mf=$(median "${first[@]}"); mt=$(median "${tool[@]}"); mc=$(median "${copy[@]}")
awk -v f="$mf" -v t="$mt" -v c="$mc" -v n="$runs" 'BEGIN {
    printf "runs %d: cp median %.2f ms\n", n, c/1e6
    printf "  first apply (originals kept) median %.2f ms, ratio %.2f (target <= 2.5)\n", f/1e6, f/c
    printf "  later apply median %.2f ms, ratio %.2f (target <= 1.5)\n", t/1e6, t/c }'
