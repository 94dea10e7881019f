#!/bin/sh
# The include rules the layers' link lines cannot catch, checked over every
# C++ source under SOURCE_DIR (the build tree BINARY_DIR and any other tree
# holding a CMakeCache.txt left out):
#  - QtWidgets (<QtWidgets/...>, <QtWidgets>, or a header of the QtWidgets
#    folder such as <QWidget>) only in app/, widgets/, dock/, their tests and
#    benchmarks, the window screenshots (docs/shots) and the Qt main those
#    tests share;
#  - no include path climbs with "../": a target reaches headers by its
#    include directories;
#  - model/, platform/, privileged/ and tool/ include no Qt header at all;
#  - a controller of app/ (MainController, its parts, CollectionController,
#    BatchController) includes no other controller's header: the editor's
#    windows are wired by app/Editor.
# Prints each offence as file:line and fails when there is any.
# include_rules_test.sh SOURCE_DIR BINARY_DIR QT_WIDGETS_INCLUDE_DIRS...
# (folders, also ;-separated; the one ending in /QtWidgets counts).
set -eu

source_dir=$1
binary_dir=$2
shift 2
widgets_dir=
old_ifs=$IFS
for list in "$@"; do
    IFS=';'
    for dir in $list; do
        case $dir in
        */QtWidgets) widgets_dir=$dir ;;
        esac
    done
    IFS=$old_ifs
done
if [ -z "$widgets_dir" ] || [ ! -f "$widgets_dir/QWidget" ]; then
    echo "no QtWidgets header folder among: $*" >&2
    exit 2
fi
# Every file name QtWidgets ships: QWidget, qwidget.h, QtWidgets, ...
widgets_headers=$(cd "$widgets_dir" && ls)

cd "$source_dir"
binary_dir=$(cd "$binary_dir" && pwd -P)
prune=
for entry in .[!.]* *; do
    if [ -d "$entry" ] && { [ -f "$entry/CMakeCache.txt" ] ||
        [ "$(cd "$entry" && pwd -P)" = "$binary_dir" ]; }; then
        prune="$prune -path ./$entry -prune -o"
    fi
done

# shellcheck disable=SC2086 # $prune is a list of find arguments
find . -path ./.git -prune -o $prune -type f \
    \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.cxx' -o -name '*.h' \
    -o -name '*.hh' -o -name '*.hpp' -o -name '*.hxx' -o -name '*.mm' -o -name '*.inc' \) \
    -print | sort | awk -v widgets_headers="$widgets_headers" '
BEGIN {
    n = split(widgets_headers, names, "\n")
    for (i = 1; i <= n; i++) {
        widgets[names[i]] = 1
    }
}
{
    file = $0
    path = file
    sub(/^\.\//, "", path)
    gui = path ~ /^((tests|bench)\/)?(app|widgets|dock)\// || path ~ /^docs\/shots\// ||
          path == "tests/support/QtTestMain.cpp"
    core = path ~ /^(model|platform|privileged|tool)\//
    own = ""
    if (match(path, /^app\/[A-Za-z]*Controller/)) {
        own = substr(path, RSTART, RLENGTH) ".h"
    }
    files++
    number = 0
    while ((getline line < file) > 0) {
        number++
        if (!match(line, /^[ \t]*#[ \t]*include[ \t]*[<"][^>"]*[>"]/)) {
            continue
        }
        target = substr(line, RSTART, RLENGTH)
        sub(/^[^<"]*[<"]/, "", target)
        target = substr(target, 1, length(target) - 1)
        where = path ":" number ": "
        if (target ~ /(^|\/)\.\.\//) {
            print where "climbs with ../: " target
            bad++
        }
        if (own != "" && target ~ /^app\/[A-Za-z]*Controller\.h$/ && target != own) {
            print where "a controller includes another controller: " target
            bad++
        }
        if (core && target ~ /^Q/) {
            print where "Qt header in the core: " target
            bad++
        } else if (!gui && (target == "QtWidgets" || target ~ /^QtWidgets\// ||
                            target in widgets)) {
            print where "QtWidgets header outside app/, widgets/ and dock/: " target
            bad++
        }
    }
    close(file)
}
END {
    if (files == 0) {
        print "no source files found"
        exit 2
    }
    if (bad > 0) {
        print bad " include(s) break the rules"
        exit 1
    }
}'
