#!/usr/bin/env bash
# Times the window offscreen: a compare of an identical pair against lumatra-report on the same
# pair, then a report of a million lines with Find, Save Result and a scroll to its end.
#   bench/window-bench.sh [BUILD-DIR]        (default: build)
# Environment: LUMATRA_BENCH_WINDOW_MIB (1024), LUMATRA_BENCH_LINES (1000000),
# LUMATRA_BENCH_RUNS (3), TMPDIR (where the pairs are written, then removed).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench="$build/bench/window-bench"
report="$build/src/cli/lumatra-report"
for program in "$bench" "$report"; do
    if [[ ! -x $program ]]; then
        echo "window-bench.sh: $program is missing; build the project first" >&2
        exit 2
    fi
done

echo "machine: $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM=offscreen "$bench" "$report" "${TMPDIR:-/tmp}" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
