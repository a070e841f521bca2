#!/usr/bin/env bash
# Builds the random walk over the main window if needed and runs it:
#   scripts/monkey.sh --steps N --seed S [--verbose] [--keep-going]
# A failing walk prints its seed and step count, so that the same arguments replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target tst_randomwalk >/dev/null
QT_QPA_PLATFORM=offscreen exec ./build/tests/tst_randomwalk "$@"
