#!/usr/bin/env bash
# Builds a release and makes the Debian package velmora_<version>_amd64.deb in build-package/, then shows
# its control data and contents and runs lintian on it when lintian is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package -j2 --target velmora velmora-cli velmora-notify velmora-desktop-files
(cd build-package && cpack -G DEB >/dev/null)
deb=$(ls -t build-package/velmora_*.deb | head -n1)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
if command -v lintian >/dev/null; then
  lintian --info "$deb"
fi
echo "$deb"
