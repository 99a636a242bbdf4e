#!/usr/bin/env bash
# Times the window offscreen: a compare of an identical pair against lumatra-report on the same
# pair, then a report of a million lines with Find, Save Result and a scroll to its end.
#   bench/window-bench.sh [BUILD-DIR]        (default: build)
# With --scale, how the window's cost grows instead: reports of LUMATRA_BENCH_LINES and of ten
# times as many lines, alternating, each shown, searched, saved, selected and copied, and the
# ratios of their medians (the 10 M-line report needs some 2 GiB of memory on the way).
#   bench/window-bench.sh --scale [BUILD-DIR]
# Environment: LUMATRA_BENCH_WINDOW_MIB (1024), LUMATRA_BENCH_LINES (1000000),
# LUMATRA_BENCH_RUNS (3), TMPDIR (where the pairs are written, then removed).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ ${1:-} == --scale ]]; then
    export LUMATRA_BENCH_SCALE=1
    shift
fi
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
trap 'echo "load at the end: $(cut -d" " -f1-3 /proc/loadavg)"' EXIT
QT_QPA_PLATFORM=offscreen "$bench" "$report" "${TMPDIR:-/tmp}" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
