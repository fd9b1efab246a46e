#!/usr/bin/env bash
# Installs a built tree to a temporary prefix and checks what a user would get: the files in place, the
# desktop entry, the AppStream metadata and the manual page valid, and a Debian package made from it.
#   scripts/package-check.sh [BUILD_DIR]      (default build/dev, already built)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/dev}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "package check: $*" >&2; exit 1; }
# Runs a check quietly; its output is shown only when it fails.
quiet() {
  local what=$1; shift
  "$@" >"$work/out.txt" 2>&1 || { cat "$work/out.txt" >&2; fail "$what failed"; }
}

prefix=$work/usr
quiet "cmake --install" cmake --install "$build" --prefix "$prefix"
app_id=org.vimbrel.Vimbrel
for f in bin/vimbrel share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
  share/icons/hicolor/scalable/apps/vimbrel.svg share/man/man1/vimbrel.1 share/vimbrel/KANKYO.TXT share/vimbrel/translations/vimbrel_en.qm \
  lib/vimbrel/vimbrel-qt.so; do
  [ -f "$prefix/$f" ] || fail "$f is not installed"
done
[ "$(ls "$prefix/bin")" = vimbrel ] || fail "bin/ holds more than the program: $(ls "$prefix/bin" | tr '\n' ' ')"
quiet "the installed program" "$prefix/bin/vimbrel" --version
# A PNG written by the installed program comes from its Qt module: the module is found where it lies.
quiet "a bitmap file for the join" "$prefix/bin/vimbrel" join "$root/tests/data/bmpsuite/g/rgb24.bmp" \
  "$root/tests/data/bmpsuite/g/rgb24.bmp" -o "$work/joined" --format png
[ -s "$work/joined.PNG" ] || fail "the installed program wrote no PNG"

quiet desktop-file-validate desktop-file-validate "$prefix/share/applications/$app_id.desktop"
quiet "appstreamcli validate" appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/vimbrel.1" >/dev/null 2>"$work/man.txt" ||
  { cat "$work/man.txt" >&2; fail "man -l failed"; }
[ ! -s "$work/man.txt" ] || { cat "$work/man.txt" >&2; fail "the manual page has warnings"; }

quiet "cpack -G DEB" bash -c "cd '$build' && cpack -G DEB -B '$work/deb'"
deb=$(ls "$work"/deb/vimbrel_*.deb)
dpkg-deb -c "$deb" >"$work/contents.txt"
grep -q '\./usr/bin/vimbrel$' "$work/contents.txt" || fail "the package holds no usr/bin/vimbrel"
grep -q '/vimbrel/vimbrel-qt\.so$' "$work/contents.txt" || fail "the package holds no Qt module"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt Widgets"
! grep -Eq 'test|bench' "$work/contents.txt" || fail "the package holds tests or benchmarks"
echo "package check: installed files, desktop entry, AppStream metadata and manual page are valid; $(basename "$deb"):"
dpkg-deb -I "$deb"
