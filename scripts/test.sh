#!/usr/bin/env bash
# Builds everything and runs every test: once in the release build, once in a
# build with AddressSanitizer and UndefinedBehaviorSanitizer; then builds the
# fuzzer with clang and runs it for about a minute.
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

# The fuzzer compares the line-by-line and the bulk check-code routes; it is
# built with clang on its own and only its bounded run is tested there.
echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz
