#!/bin/sh
# Makes the Debian package from the build with cpack, unpacks it into a
# throw-away root and checks it as a system would have it installed: the file
# list, owners and modes, the paths the desktop files and the polkit action
# name, the installed programs run, and the validators (lintian where present).
# Exits 77 (skipped) when a packaging tool is missing.
set -eu
build="$1" source="$2" version="$3"
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool (scripts/setup-deps installs it)"; exit 77; }
done
temp=$(mktemp -d)
trap 'rm -rf "$temp"' EXIT
fail() { echo "$*" >&2; exit 1; }
export HOME="$temp/home" VELVANTO_ROOT="$temp/system" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$VELVANTO_ROOT"

cpack --config "$build/CPackConfig.cmake" -B "$temp/out" >"$temp/cpack.log" 2>&1 ||
    { cat "$temp/cpack.log"; fail "cpack failed"; }
deb="$temp/out/velvanto_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb"
root="$temp/root"
dpkg -x "$deb" "$root"
usr="$root/usr"
resources="$usr/lib/velvanto/Velvanto.app/Contents/Resources"

# Every file the programs and a desktop need, the help pages as the source has them.
for f in bin/velvanto bin/velvanto-theme lib/velvanto/Velvanto.app/Contents/MacOS/Velvanto \
         share/applications/velvanto.desktop share/mime/packages/velvanto-docktheme.xml \
         share/metainfo/org.velvanto.Velvanto.metainfo.xml share/thumbnailers/velvanto.thumbnailer \
         share/polkit-1/actions/org.velvanto.apply-theme.policy \
         share/bash-completion/completions/velvanto-theme share/doc/velvanto/copyright \
         share/doc/velvanto/changelog.gz share/icons/hicolor/16x16/apps/velvanto.png \
         share/icons/hicolor/256x256/apps/velvanto.png; do
    [ -e "$usr/$f" ] || fail "missing: /usr/$f"
done
for f in VelvantoHelper Dock dock-keeper DatabaseInfo.plist $(cd "$source/resources/help" && find . -type f | cut -c3-); do
    [ -f "$resources/$f" ] || fail "missing in the bundle: $f"
done
for program in "$usr"/bin/*; do
    [ -e "$usr/share/man/man1/$(basename "$program").1.gz" ] || fail "no manual page for $program"
done
[ -z "$(find "$usr/share/man" -type f ! -name '*.gz')" ] || fail "a manual page is not compressed"

# Owned by root, nothing setuid or setgid, nothing writable but by its owner
# (links aside), the apply tool rwxr-xr-x.
dpkg-deb -c "$deb" >"$temp/list"
awk '$2 != "root/root" || $1 ~ /[sS]/ || ($1 !~ /^l/ && $1 ~ /^.....w|^........w/)' "$temp/list" >"$temp/bad"
[ ! -s "$temp/bad" ] || { cat "$temp/bad"; fail "entries with wrong owners or modes"; }
grep -q '^-rwxr-xr-x root/root .*/Contents/Resources/VelvantoHelper$' "$temp/list" ||
    fail "the apply tool is not rwxr-xr-x root/root"

# The polkit action names the installed tool and asks for an administrator, kept briefly.
tool=/usr/lib/velvanto/Velvanto.app/Contents/Resources/VelvantoHelper
for policy in "$usr/share/polkit-1/actions/org.velvanto.apply-theme.policy" \
              "$resources/org.velvanto.apply-theme.policy"; do
    grep -q "\"org.freedesktop.policykit.exec.path\">$tool<" "$policy" || fail "$policy names another tool"
    [ "$(grep -c '>auth_admin_keep<' "$policy")" = 3 ] || fail "$policy: not auth_admin_keep"
done
# The commands the desktop entry and the thumbnailer start are installed on the path;
# every type they and the metadata name is defined by the package.
for entry in applications/velvanto.desktop thumbnailers/velvanto.thumbnailer; do
    for key in Exec TryExec; do
        command=$(sed -n "s/^$key=\([^ ]*\).*/\1/p" "$usr/share/$entry")
        [ -x "$usr/bin/$command" ] || fail "$entry: $key names $command, not in /usr/bin"
    done
done
for type in $(sed -n 's/^MimeType=//p' "$usr/share/applications/velvanto.desktop" \
                  "$usr/share/thumbnailers/velvanto.thumbnailer" | tr ';' ' ') \
            $(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$usr/share/metainfo/"*.xml); do
    grep -q "<mime-type type=\"$type\">" "$usr/share/mime/packages/velvanto-docktheme.xml" ||
        fail "type $type is not defined"
done

# The installed programs run, and the command line finds the bundle's catalogue.
[ "$("$usr/bin/velvanto-theme" --version)" = "velvanto-theme $version" ] || fail "velvanto-theme --version"
[ "$("$usr/bin/velvanto" --version)" = "Velvanto $version" ] || fail "velvanto --version"
"$usr/bin/velvanto-theme" check --strict "$resources/DefaultDock.docktheme"

desktop-file-validate "$usr/share/applications/velvanto.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.velvanto.Velvanto.metainfo.xml"
if command -v lintian >/dev/null; then
    lintian --fail-on error $( [ "$(id -u)" = 0 ] && echo --allow-root ) "$deb"
else
    echo "lintian is not installed: not run"
fi
echo "packaged, installed and checked: $(basename "$deb")"
