#!/bin/sh
# Installs the build into a temporary prefix and checks what a Linux desktop
# finds there: the program, its bundle, the desktop entry, the bundle type, the icon,
# the command line, its manual page and bash completion.
set -eu
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
contents="$prefix/lib/velvanto/Velvanto.app/Contents"
for f in "$prefix/bin/velvanto" "$contents/MacOS/Velvanto" "$contents/Resources/VelvantoHelper" \
         "$contents/Resources/Dock" "$contents/Resources/DatabaseInfo.plist" \
         "$contents/Resources/Help.html" "$contents/Resources/icon4on.icns" \
         "$contents/Resources/drag_here.png" "$contents/Resources/DefaultDock.docktheme/Info.plist" \
         "$prefix/share/applications/velvanto.desktop" \
         "$prefix/share/mime/packages/velvanto-docktheme.xml" \
         "$prefix/share/icons/hicolor/256x256/apps/velvanto.png" \
         "$prefix/share/man/man1/velvanto-theme.1" "$prefix/share/man/man1/velvanto.1" \
         "$prefix/share/bash-completion/completions/velvanto-theme" \
         "$prefix/share/zsh/vendor-completions/_velvanto-theme" \
         "$prefix/share/fish/vendor_completions.d/velvanto-theme.fish"; do
    [ -e "$f" ] || { echo "missing: $f" >&2; exit 1; }
done
[ "$(readlink -f "$prefix/bin/velvanto")" = "$(readlink -f "$contents/MacOS/Velvanto")" ]
desktop-file-validate "$prefix/share/applications/velvanto.desktop"
update-mime-database "$prefix/share/mime"
grep -q 'application/x-docktheme:\*\.docktheme' "$prefix/share/mime/globs2"
grep -q 'application/x-docktheme-archive:\*\.docktheme\.zip' "$prefix/share/mime/globs2"
grep -q 'application/x-docktheme-archive application/zip' "$prefix/share/mime/subclasses"
grep -q 'MimeType=.*application/x-docktheme-archive;' "$prefix/share/applications/velvanto.desktop"
for section in '^\.SS set-image' '^\.SH "EXIT STATUS"' '^\.SH EXAMPLES' '^\.SH ENVIRONMENT'; do
    grep -q "$section" "$prefix/share/man/man1/velvanto-theme.1"
done
grep -q '^\.SH ENVIRONMENT' "$prefix/share/man/man1/velvanto.1"
bash -c '. "$1"; complete -p velvanto-theme' sh "$prefix/share/bash-completion/completions/velvanto-theme" >/dev/null
# The command line, started through its link, finds the installed catalogue and Dock renderer.
theme="$prefix/Copy.docktheme"
cp -r "$contents/Resources/DefaultDock.docktheme" "$theme"
rm "$theme/preview_3d.png" "$theme/preview_2d.png"
HOME="$prefix" VELVANTO_ROOT="$prefix" "$prefix/bin/velvanto-theme" render "$theme" >/dev/null
HOME="$prefix" VELVANTO_ROOT="$prefix" "$prefix/bin/velvanto-theme" check --strict "$theme"
echo "installed and registered"
