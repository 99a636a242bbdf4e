#!/usr/bin/env bash
# Times lumatra-report --find-shift against lumatra-report comparing the same pair up to the
# point where it differs, runs alternating, page cache warm: a pair of random data, file 2
# with 16 bytes inserted halfway. The comparison stops there through --stop-after-1000, since
# every byte after the insertion differs.
#   bench/shift-bench.sh [BUILD-DIR]        (default: build)
# Environment: LUMATRA_BENCH_SHIFT_MIB (1024), LUMATRA_BENCH_RUNS (5), TMPDIR (where the pair
# is written; it is removed at the end).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
report="$build/src/cli/lumatra-report"
mib=${LUMATRA_BENCH_SHIFT_MIB:-1024}
runs=${LUMATRA_BENCH_RUNS:-5}
. "$root/bench/benchlib.sh"
need_built shift-bench.sh "$report"
need_tools shift-bench.sh python3

work=$(mktemp -d "${TMPDIR:-/tmp}/shift-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
say_machine
echo "writing the $mib MiB pair to $work ..."

python3 - "$work" "$mib" "$report" "$runs" <<'EOF_PY'
import random, resource, statistics, subprocess, sys, time

folder, mib, report, runs = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4])
size, chunk = mib << 20, 16 << 20
insert_at = size // 2
rng = random.Random(20090726)
one, two = f"{folder}/one", f"{folder}/two"
with open(one, "wb") as a, open(two, "wb") as b:
    for start in range(0, size, chunk):
        data = rng.randbytes(min(chunk, size - start))
        a.write(data)
        if start <= insert_at < start + len(data):
            cut = insert_at - start
            data = data[:cut] + bytes(range(0xF0, 0x100)) + data[cut:]
        b.write(data)
for path in (one, two):  # page cache warm
    with open(path, "rb") as f:
        while f.read(chunk):
            pass

def timed(arguments, expected_status):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    done = subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != expected_status:
        sys.exit(f"shift-bench.sh: {' '.join(arguments)} ended with {done.returncode}")
    cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
    return wall, cpu, done.stdout.decode()

search = [report, "--find-shift", one, two]
compare = [report, "--stop-after-1000", one, two]
# The same pass to the first difference, then a search of 16 bytes either way instead of 1 MiB.
narrow = [report, "--find-shift", "--shift-window", "16", one, two]
expected = f"--offset1 {insert_at:X} --offset2 {insert_at + 16:X}"
found = timed(search, 0)[2]
if found.splitlines()[0] != expected:
    sys.exit(f"shift-bench.sh: --find-shift printed {found!r}, not {expected}")
print(f"find shift: {mib} MiB random pair, 16 bytes inserted into file 2 at {mib // 2} MiB: "
      + " / ".join(found.splitlines()))
timed(compare, 1)
timed(narrow, 0)
walls = {"search": [], "compare": [], "narrow": []}
cpus = {"search": [], "compare": [], "narrow": []}
for run in range(1, runs + 1):
    for name, arguments, status in (("search", search, 0), ("compare", compare, 1),
                                    ("narrow", narrow, 0)):
        wall, cpu, _ = timed(arguments, status)
        walls[name].append(wall)
        cpus[name].append(cpu)
    print(f"  run {run}: find-shift {walls['search'][-1]:.4f} s, compare to the insertion "
          f"{walls['compare'][-1]:.4f} s")
search_s, compare_s = statistics.median(walls["search"]), statistics.median(walls["compare"])
ratio = search_s / compare_s
cpu_ratio = statistics.median(cpus["search"]) / statistics.median(cpus["compare"])
print(f"medians of {runs} runs: find-shift {search_s:.4f} s, compare to the insertion "
      f"{compare_s:.4f} s, ratio {ratio:.3f} (processor time {cpu_ratio:.3f})")
print(f"target find-shift: {mib} MiB pair, --find-shift {search_s:.4f} s = {ratio:.3f} x the "
      f"comparison up to the insertion (at most 1.5 x): {'met' if ratio <= 1.5 else 'missed'}")
print(f"target find-shift pass: {mib} MiB pair, --find-shift {ratio:.3f} x the comparison up to "
      f"the insertion (at most 1.15 x): {'met' if ratio <= 1.15 else 'missed'}")
narrow_s = statistics.median(walls["narrow"])
added_ms = (search_s - narrow_s) * 1000
added_cpu_ms = (statistics.median(cpus["search"]) - statistics.median(cpus["narrow"])) * 1000
print(f"target shift search: the search of 1 MiB either way adds {added_ms:.1f} ms to one of 16 "
      f"bytes ({narrow_s:.4f} s; processor time {added_cpu_ms:.1f} ms) (at most 10 ms): "
      f"{'met' if added_ms <= 10 else 'missed'}")
EOF_PY
echo "load at the end: $(load)"
