#!/usr/bin/env bash
# `cmake --install` of the build into a fresh prefix, as a user installs for themselves: the
# program in a folder of its own with its help, the icon in the hicolor theme, and a menu entry
# that desktops accept, naming the installed program and the icon.
set -euo pipefail
build=$1
prefix=$(mktemp -d)/"a prefix"
trap 'rm -rf "$(dirname "$prefix")"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
program="$prefix/lib/vorn/vorn"
entry="$prefix/share/applications/vorn.desktop"
icon="$prefix/share/icons/hicolor/scalable/apps/vorn.svg"
[ -x "$program" ] || { echo "no program at $program"; fail=1; }
[ -f "$prefix/lib/vorn/help/index.html" ] || { echo "no help beside the program"; fail=1; }
/usr/bin/python3 -c 'import sys, xml.etree.ElementTree as t; sys.exit(t.parse(sys.argv[1]).getroot().tag != "{http://www.w3.org/2000/svg}svg")' "$icon" ||
    { echo "the icon is not an SVG picture"; fail=1; }
desktop-file-validate "$entry" || { echo "the menu entry is not valid"; fail=1; }
for line in "Name=Vorn" "Icon=vorn" "Exec=\"$program\"" "Categories=Utility;" "Type=Application"; do
    grep -qxF "$line" "$entry" || { echo "the menu entry lacks $line"; fail=1; }
done
grep -q '^Comment=.' "$entry" || { echo "the menu entry has no comment"; fail=1; }
[ "$fail" = 0 ] || { cat "$entry"; exit 1; }
echo "installed: $program, $entry, $icon"
