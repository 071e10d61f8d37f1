#!/usr/bin/env bash
# Builds everything and runs every test: once in the release build, once in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Tests of the window run without a display.
export QT_QPA_PLATFORM=offscreen

for preset in default sanitize; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
