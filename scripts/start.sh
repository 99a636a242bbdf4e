#!/usr/bin/env bash
# Installs what is missing, builds Lumatra and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${LUMATRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
# Without a display the program says so and how to get one.
exec "$build/src/app/lumatra"
