#!/usr/bin/env bash
# A theme's update from a loopback server (python3 -m http.server on
# 127.0.0.1) against the shell's tools on the same files, alternating, many
# runs; prints the median and spread of each and their ratio:
#   update of a 30-image theme   against curl -o of its archive + import (target <= 1.3)
#   update-check of 50 themes    against 50 sequential curl of their feeds (target <= 0.5)
# Needs curl and python3 (scripts/setup-deps curl python3).
# Usage: bench/update_vs_curl.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build=${1:-build}
runs=${2:-11}
program="$(cd "$build" && pwd)/Velvanto.app/Contents/MacOS/velvanto-theme"
theme="$build/Velvanto.app/Contents/Resources/DefaultDock.docktheme"
tmp=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$tmp"' EXIT
export HOME="$tmp/home" VELVANTO_ROOT="$tmp/root"
mkdir -p "$HOME/.local/share" "$tmp/site" "$tmp/bundles"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
site="http://127.0.0.1:$port"
(cd "$tmp/site" && exec python3 -m http.server "$port" --bind 127.0.0.1 >/dev/null 2>&1) &
server=$!
# The release 1.1, signed, and its feed; the theme at 1.0 a user has.
key=$("$program" keygen "$tmp/author.key")
cp -r "$theme" "$tmp/Aqua.docktheme"
"$program" info "$tmp/Aqua.docktheme" --set public-key="$key" --set version=1.1 \
    --set feed="$site/appcast.xml" >/dev/null
"$program" export "$tmp/Aqua.docktheme" -o "$tmp/site/Aqua-1.1.zip" >/dev/null
"$program" appcast "$tmp/site/Aqua-1.1.zip" --key "$tmp/author.key" --url-prefix "$site/" \
    >"$tmp/site/appcast.xml"
"$program" info "$tmp/Aqua.docktheme" --set version=1.0 >/dev/null
# 50 themes, each with a feed of its own.
for ((i = 0; i < 50; i++)); do
    cp "$tmp/site/appcast.xml" "$tmp/site/feed$i.xml"
    cp -r "$tmp/Aqua.docktheme" "$tmp/bundles/theme$i.docktheme"
    "$program" info "$tmp/bundles/theme$i.docktheme" --set feed="$site/feed$i.xml" >/dev/null
done
for ((i = 0; i < 50; i++)); do
    curl -sf -o /dev/null "$site/feed0.xml" && break || sleep 0.1
done
bundles=("$tmp"/bundles/*.docktheme)
update=() fetch=() check=() feeds=()
for ((i = 0; i < runs; i++)); do
    rm -rf "$tmp/user" "$tmp/imported" "$tmp/fetched.zip" "$HOME/.local/share/Trash"
    mkdir "$tmp/user" "$tmp/imported"
    cp -r "$tmp/Aqua.docktheme" "$tmp/user/"
    t0=$(now)
    "$program" update "$tmp/user/Aqua.docktheme" >/dev/null
    t1=$(now)
    curl -sf -o "$tmp/fetched.zip" "$site/Aqua-1.1.zip"
    "$program" import "$tmp/fetched.zip" --to "$tmp/imported" >/dev/null
    t2=$(now)
    "$program" update-check -- "${bundles[@]}" >/dev/null
    t3=$(now)
    for ((j = 0; j < 50; j++)); do
        curl -sf -o /dev/null "$site/feed$j.xml"
    done
    t4=$(now)
    update+=($((t1 - t0))); fetch+=($((t2 - t1))); check+=($((t3 - t2))); feeds+=($((t4 - t3)))
done
line() {
    read -r m1 lo1 hi1 <<<"$(stats "${@:4:$2}")"
    read -r m2 lo2 hi2 <<<"$(stats "${@:$((4 + $2))}")"
    awk -v name="$1" -v target="$3" -v a="$m1" -v al="$lo1" -v ah="$hi1" -v b="$m2" -v bl="$lo2" -v bh="$hi2" 'BEGIN {
        printf "%-28s %8.2f ms (%.2f-%.2f) vs %8.2f ms (%.2f-%.2f): ratio %.2f%s\n",
            name, a, al, ah, b, bl, bh, a / b, target }'
}
echo "runs $runs, the stock theme's 30 images, served from 127.0.0.1"
line "update vs curl + import" "${#update[@]}" " (target <= 1.3)" "${update[@]}" "${fetch[@]}"
line "update-check 50 vs curl 50" "${#check[@]}" " (target <= 0.5)" "${check[@]}" "${feeds[@]}"
