#!/usr/bin/env bash
# Installs what is missing, builds Lumatra and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${LUMATRA_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Lumatra is a desktop program, and this session has no display (DISPLAY is not set)."
    echo "Start it from a desktop session, or on a virtual display:"
    echo "    xvfb-run -a $build/src/app/lumatra"
    echo "The command-line report works without a display: $build/src/cli/lumatra-report --help"
    exit 1
fi
exec "$build/src/app/lumatra"
