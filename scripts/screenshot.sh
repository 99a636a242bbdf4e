#!/usr/bin/env bash
# Builds the window and its screenshot program, runs one "By lines" comparison with chars on a
# virtual display and saves a picture of the window; with find-shift, file 2 has 16 bytes more
# and "Find Shift" follows the comparison; with realign, file 2 has stretches inserted and
# removed and the comparison realigns; with long-run, a 1 GiB pair in TMPDIR is compared, the
# window resized during the run, and four pictures and what each step found are given:
#     bash scripts/screenshot.sh [OUTPUT.png [find-shift | realign | long-run]]
# (default: build/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LUMATRA_BUILD_DIR:-build}
output=$(realpath -m "${1:-$build/screenshot.png}")
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target lumatra_screenshot
# QT_QPA_PLATFORM would take the program off the virtual display.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/tests/app/lumatra_screenshot" "$output" "${@:2}"
echo "Saved $output"
