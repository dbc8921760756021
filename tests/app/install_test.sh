#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree a desktop install needs:
# the program with gs_data/ (the growth tables as they ship) and icons/ beside it,
# bin/torvik-viewer linked to it, the icon, and a desktop entry that desktop-file-validate accepts.
# Usage: install_test.sh <build folder>
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/lib/torvik-viewer/torvik-viewer" ] || fail "no program in lib/torvik-viewer"
[ -d "$prefix/lib/torvik-viewer/gs_data" ] || fail "no gs_data beside the program"
for table in USA/BPD.DAT USA/FL.DAT USA/CRL.DAT Europe1/CRL.DAT; do
  cmp -s "$prefix/lib/torvik-viewer/gs_data/$table" "$(dirname "$0")/../../gs_data/$table" ||
    fail "growth table $table not installed as it ships"
done
[ -f "$prefix/lib/torvik-viewer/icons/90.svg" ] || fail "no icons beside the program"
[ -L "$prefix/bin/torvik-viewer" ] || fail "bin/torvik-viewer is no link"
[ "$(readlink -f "$prefix/bin/torvik-viewer")" = "$(readlink -f "$prefix/lib/torvik-viewer/torvik-viewer")" ] ||
  fail "bin/torvik-viewer points elsewhere"
[ -f "$prefix/share/icons/hicolor/scalable/apps/torvik-viewer.svg" ] || fail "no icon in the theme"
entry=$prefix/share/applications/torvik-viewer.desktop
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the desktop entry does not validate"
grep -qx 'Exec=torvik-viewer' "$entry" || fail "Exec"
grep -qx 'Icon=torvik-viewer' "$entry" || fail "Icon"
echo ok
