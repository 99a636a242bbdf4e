#!/usr/bin/env bash
# Times lumatra-report's context queries and the window's context view, page cache warm:
#  - --context on sparse pairs of LUMATRA_BENCH_CONTEXT_GIB GiB (64) and ten times that at their
#    start, their middle and their end, against the 30 ms it may take;
#  - --next-difference across an equal pair of random data (LUMATRA_BENCH_SEARCH_MIB, 1024)
#    against the read floor (bench/readfloor.c: both files read in 256 KiB blocks and compared
#    with memcmp), and --previous-difference, which reads the files backwards, against the same;
#  - the peak memory of each search beside that of --version;
#  - in the window, offscreen (bench/contextbench.cpp): a jump of the view and its repaint at
#    the start, the middle, the end and past 4 GiB of both sparse pairs against one frame, beside
#    the same on two small files; the memory the view adds to the window; and Next Difference
#    (F6) across the equal pair with its last byte changed, against the read floor and
#    --next-difference, and its peak memory beyond the window's own.
# Every ratio is taken between medians of runs made side by side, and given in processor time
# (user + system) too, which a busy machine disturbs far less than the clock.
#   bench/context-bench.sh [BUILD-DIR]        (default: build)
# Environment: LUMATRA_BENCH_CONTEXT_GIB (64), LUMATRA_BENCH_SEARCH_MIB (1024),
# LUMATRA_BENCH_RUNS (5), LUMATRA_BENCH_JUMPS (15, at each place of the view), TMPDIR (where
# the pairs are written; they are removed at the end).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
report="$build/src/cli/lumatra-report"
bench="$build/bench/context-bench"
gib=${LUMATRA_BENCH_CONTEXT_GIB:-64}
mib=${LUMATRA_BENCH_SEARCH_MIB:-1024}
runs=${LUMATRA_BENCH_RUNS:-5}
# need_built, need_tools, say_machine, load
. "$root/bench/benchlib.sh"
need_built context-bench.sh "$report" "$bench"
cc=${CC:-cc}
need_tools context-bench.sh python3 truncate "$cc"

work=$(mktemp -d "${TMPDIR:-/tmp}/context-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
floor="$work/read-floor"
"$cc" -O2 -o "$floor" "$root/bench/readfloor.c"
say_machine
echo "writing the $gib GiB sparse pair and the $mib MiB equal pair to $work ..."

python3 - "$work" "$gib" "$mib" "$report" "$floor" "$runs" <<'EOF_PY'
import os, random, resource, statistics, subprocess, sys, time

folder, gib, mib, report, floor, runs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), \
    sys.argv[4], sys.argv[5], int(sys.argv[6])

# The sparse pairs, of gib GiB and ten times that: holes, with a few bytes written at the
# start, the middle and the end, one of them differing. The window's view also shows two
# small files, as the reference of its paint.
def write_sparse(name, size):
    paths = (f"{folder}/{name}1", f"{folder}/{name}2")
    for number, path in enumerate(paths):
        with open(path, "wb") as f:
            f.truncate(size)
            for at in (0, size // 2, size - 16):
                f.seek(at)
                f.write(b"context bench %d" % (number if at == size // 2 else 0))
    return paths

big = gib << 30
sparse = write_sparse("sparse", big)
huge = write_sparse("huge", 10 * big)
small = bytearray(random.Random(1).randbytes(1 << 20))
with open(f"{folder}/small1", "wb") as f:
    f.write(small)
small[0x1234] ^= 0x5A
with open(f"{folder}/small2", "wb") as f:
    f.write(small)

size, chunk = mib << 20, 16 << 20
rng = random.Random(20091212)
equal = (f"{folder}/equal1", f"{folder}/equal2")
# For the window's search: file 2 of the equal pair with its last byte changed.
differ = f"{folder}/differ2"
with open(equal[0], "wb") as a, open(equal[1], "wb") as b, open(differ, "wb") as d:
    for start in range(0, size, chunk):
        data = rng.randbytes(min(chunk, size - start))
        a.write(data)
        b.write(data)
        if start + len(data) == size:
            data = data[:-1] + bytes([data[-1] ^ 0x5A])
        d.write(data)
for path in (*equal, differ):  # page cache warm
    with open(path, "rb") as f:
        while f.read(chunk):
            pass

def timed(arguments, statuses=(0, 1)):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode not in statuses:
        sys.exit(f"context-bench.sh: {' '.join(arguments)} ended with {done.returncode}")
    cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
    return wall, cpu

def peak_kib(arguments):
    # The child's own peak: a fresh process measures it, not the largest child so far.
    code = ("import resource, subprocess, sys; subprocess.run(sys.argv[1:], "
            "stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL); "
            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)")
    return int(subprocess.run([sys.executable, "-c", code] + arguments,
                              stdout=subprocess.PIPE, check=True).stdout)

verdict = lambda ok: "met" if ok else "missed"

# --context on the sparse pairs.
for pair, length in ((sparse, big), (huge, 10 * big)):
    places = {"start": 0, "middle": length // 2 + 3, "end": length - 1}
    for name, at in places.items():
        walls = [timed([report, "--context", f"{at:X}", *pair])[0] for _ in range(runs)]
        ms = statistics.median(walls) * 1000
        print(f"target context: {length >> 30} GiB sparse pair, --context at the {name} "
              f"(0x{at:X}) {ms:.1f} ms (at most 30 ms): {verdict(ms <= 30)}")

# The searches against the read floor, alternating.
last = f"{size - 1:X}"
commands = {
    "floor": [floor, *equal],
    "next": [report, "--next-difference", "0", *equal],
    "previous": [report, "--previous-difference", last, *equal],
}
for arguments in commands.values():
    timed(arguments)
walls = {name: [] for name in commands}
cpus = {name: [] for name in commands}
for run in range(1, runs + 1):
    for name, arguments in commands.items():
        wall, cpu = timed(arguments)
        walls[name].append(wall)
        cpus[name].append(cpu)
    print(f"  run {run}: read floor {walls['floor'][-1]:.4f} s, next difference "
          f"{walls['next'][-1]:.4f} s, previous difference {walls['previous'][-1]:.4f} s")
wall = {name: statistics.median(values) for name, values in walls.items()}
cpu = {name: statistics.median(values) for name, values in cpus.items()}
print(f"medians of {runs} runs: read floor {wall['floor']:.4f} s, next difference "
      f"{wall['next']:.4f} s, previous difference {wall['previous']:.4f} s")
for name, bound in (("next", 1.2), ("previous", 1.5)):
    ratio = wall[name] / wall["floor"]
    cpu_ratio = cpu[name] / cpu["floor"]
    print(f"target {name}-difference: {mib} MiB equal pair, --{name}-difference "
          f"{wall[name]:.4f} s = {ratio:.3f} x the read floor (processor time {cpu_ratio:.3f}) "
          f"(at most {bound} x): {verdict(ratio <= bound)}")

# Memory: what a search holds beyond what the program holds at all.
base = peak_kib([report, "--version"])
for name in ("next", "previous"):
    extra = (peak_kib(commands[name]) - base) / 1024
    print(f"target {name}-difference memory: peak {extra:.1f} MiB beyond --version's "
          f"{base / 1024:.1f} MiB (at most 8 MiB): {verdict(extra <= 8)}")
EOF_PY
echo "the context view in the window, offscreen ..."
LUMATRA_BENCH_RUNS=$runs QT_QPA_PLATFORM=offscreen "$bench" "$floor" "$report" "$work" \
    2> >(grep -v -e XDG_RUNTIME_DIR -e propagateSizeHints >&2)
echo "load at the end: $(load)"
