#!/usr/bin/env bash
# Regenerates docs/screenshots: every form on the sample fleet at the window's smallest size and at
# 1600x1000, and every dialog, in a light and a dark palette (light/ and dark/), plus the forms at
# 1100x760 under the plain names the user guide and the store listing use. Runs without a display.
#   bash scripts/screenshots.sh [BUILD_DIR]      (default: build; only velmora-screenshots is built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/screenshots

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S . -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j2 --target velmora-screenshots >/dev/null
tool=$(find "$build" -type f -name velmora-screenshots -perm -u+x | head -n 1)
[ -n "$tool" ] || { echo "velmora-screenshots was not built in $build" >&2; exit 1; }

# A roomy virtual screen, so that dialogs that size themselves after the screen are not squeezed.
screen=$(mktemp --suffix=.json)
trap 'rm -f "$screen"' EXIT
echo '{"screens":[{"name":"Screen","x":0,"y":0,"width":1920,"height":1200,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]}' >"$screen"
export QT_QPA_PLATFORM="offscreen:configfile=$screen"
# The same fonts and scale on every machine that runs this.
unset QT_SCALE_FACTOR QT_FONT_DPI QT_STYLE_OVERRIDE
export LANG=C.UTF-8 TZ=UTC

rm -rf "$out/light" "$out/dark"
filter() { grep -v -e 'propagateSizeHints' -e 'XDG_RUNTIME_DIR' -e 'non-native printers' >&2 || true; }
timeout 120 "$tool" "$out/light" --canonical "$out" 2> >(filter)
timeout 120 "$tool" "$out/dark" --dark 2> >(filter)
echo "screenshots in $out: $(find "$out/light" "$out/dark" -name '*.png' | wc -l) pictures, plus the plain names"
