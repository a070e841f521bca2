#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a software centre would read:
# both validators pass, every file the desktop entry and the metainfo name is there, the icons have their
# sizes, and the three programs answer --help and --version without a display.
set -uo pipefail
build=$1
source_dir=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
id=com.halvernsoftware.Velmora
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate $metainfo"

key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
exec_program=$(key Exec | cut -d' ' -f1)
[ -x "$prefix/bin/$exec_program" ] || fail "Exec names $exec_program, not installed in bin"
[ -x "$prefix/bin/$(key TryExec)" ] || fail "TryExec names $(key TryExec), not installed in bin"
[ "$(key Icon)" = "$id" ] || fail "Icon is $(key Icon), not $id"
[ -s "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon missing"
for size in 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG file.
  dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is ${dims:-missing}, not ${size}x${size}"
done
grep -q "MimeType=application/x-velmora;" "$desktop" || fail "desktop entry does not open application/x-velmora"
mime=$share/mime/packages/$id.xml
grep -q 'type="application/x-velmora"' "$mime" && grep -q 'pattern="\*.vel"' "$mime" ||
  fail "MIME type application/x-velmora with glob *.vel not installed"

grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable is not $id.desktop"
for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
  [ -x "$prefix/bin/$binary" ] || fail "metainfo provides $binary, not installed"
  [ -s "$share/man/man1/$binary.1.gz" ] || fail "no man page for $binary"
  # No display of any kind: these must not need one.
  for option in --help --version; do
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$binary" $option 2>&1)
    status=$?
    [ $status -eq 0 ] && [ -n "$output" ] || fail "$binary $option exited $status: $output"
  done
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$binary" --version | grep -q "^$binary [0-9]" ||
    fail "$binary --version does not print its name and version"
done
for screenshot in $(sed -n 's:.*<image>.*/\([^/<]*\)</image>.*:\1:p' "$metainfo"); do
  [ -s "$source_dir/docs/screenshots/$screenshot" ] || fail "metainfo shows $screenshot, not in docs/screenshots"
done
[ -s "$share/doc/velmora/user-guide.md" ] || fail "user guide not installed"

[ $failures -eq 0 ] && echo "installed files check out" || exit 1
