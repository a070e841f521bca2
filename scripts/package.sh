#!/usr/bin/env bash
# Makes the Debian package velmora_<version>_amd64.deb from a release build in build-package/ (or in the
# build folder named by VELMORA_PACKAGE_BUILD, built as it is configured), then shows its control data and
# contents and runs lintian on it when lintian is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
dir=${VELMORA_PACKAGE_BUILD:-build-package}
[ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j2 --target velmora velmora-cli velmora-notify velmora-desktop-files
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls -t "$dir"/velmora_*.deb | head -n1)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
if command -v lintian >/dev/null; then
  lintian --info "$deb"
fi
echo "$deb"
