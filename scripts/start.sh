#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [[ -x build/bin/vantrelo ]]; then
    exec build/bin/vantrelo "$@"
fi
exec build/bin/vantrelo-cli "$@"
