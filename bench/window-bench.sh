#!/usr/bin/env bash
# Times the window offscreen: a compare of an identical pair against lumatra-report on the same
# pair, then a report of a million lines with Find, Save Result and a scroll to its end.
#   bench/window-bench.sh [BUILD-DIR]        (default: build)
# With --scale, how the window's cost grows instead: reports of LUMATRA_BENCH_LINES and of ten
# times as many lines, alternating, each shown, searched, saved, selected and copied, and the
# ratios of their medians (the 10 M-line report needs some 2 GiB of memory on the way), a second
# Find and Copy of each report, and what a first reading of memory moved by mremap costs here.
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
. "$root/bench/benchlib.sh"
need_built window-bench.sh "$bench" "$report"

say_machine
if [[ -n ${LUMATRA_BENCH_SCALE:-} ]] && command -v "${CC:-cc}" >/dev/null; then
    # What the machine charges for a first reading of memory moved by mremap, as a long
    # report's text is while it arrives: the first Find of the report pays it.
    moved=$(mktemp "${TMPDIR:-/tmp}/moved-pages.XXXXXX")
    "${CC:-cc}" -O2 -o "$moved" "$root/bench/movedpages.c"
    read -r first second < <("$moved" 256)
    rm -f "$moved"
    echo "moved pages: reading 256 MiB that mremap moved, the first time $first s, the second $second s"
fi
trap 'echo "load at the end: $(load)"' EXIT
QT_QPA_PLATFORM=offscreen "$bench" "$report" "${TMPDIR:-/tmp}" 2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
