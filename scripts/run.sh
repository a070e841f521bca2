#!/usr/bin/env bash
# Sets up, builds and starts Velmora; extra arguments go to the program (for example --demo).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2
exec ./build/src/velmora "$@"
