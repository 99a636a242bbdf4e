#!/usr/bin/env bash
# Times lumatra-report against GNU cmp on the same pairs, page cache warm, runs alternating:
# an identical pair (also against the read floor, bench/readfloor.c: both files read in
# 256 KiB blocks into page-aligned buffers and compared with memcmp), a pair with 1% of its
# bytes changed at random positions (against cmp -l), and the peak memory on a sparse pair of
# 4 GiB files, and the cost of keeping the difference map on both pairs (bench/mapcost.cpp:
# the engine alone, report dropped). Every ratio is taken between medians of runs made side by side, and given in
# processor time (user + system) too, which a busy machine disturbs far less than the clock.
#   bench/cli-bench.sh [BUILD-DIR]        (default: build)
# Environment: LUMATRA_BENCH_MIB (256), LUMATRA_BENCH_SPARSE_GIB (4), LUMATRA_BENCH_RUNS (5),
# TMPDIR (where the pairs are written; they are removed at the end).
#
# lumatra-report writes to /dev/null. cmp -l writes to a file, because cmp whose output is
# /dev/null stops at the first difference; lumatra-report writing to a file is shown beside.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
report="$build/src/cli/lumatra-report"
map_cost="$build/bench/map-cost"
mib=${LUMATRA_BENCH_MIB:-256}
sparse_gib=${LUMATRA_BENCH_SPARSE_GIB:-4}
runs=${LUMATRA_BENCH_RUNS:-5}
# need_built, need_tools, say_machine, load, timed, wall, cpu, median, ratio, verdict
. "$root/bench/benchlib.sh"
need_built cli-bench.sh "$report" "$map_cost"
cc=${CC:-cc}
need_tools cli-bench.sh cmp python3 /usr/bin/time truncate "$cc"

work=$(mktemp -d "${TMPDIR:-/tmp}/cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
floor="$work/read-floor"
"$cc" -O2 -o "$floor" "$root/bench/readfloor.c"

# The pairs: same1/same2 identical, same1/diff with 1% of the bytes changed (each to another
# value), all from a fixed seed.
say_machine
echo "writing the $mib MiB pairs to $work ..."
python3 - "$work" "$mib" <<'EOF'
import random, sys
folder, size = sys.argv[1], int(sys.argv[2]) << 20
rng = random.Random(20090726)
data = bytearray()
while len(data) < size:
    data += rng.randbytes(min(1 << 24, size - len(data)))
for name in ("same1", "same2"):
    with open(f"{folder}/{name}", "wb") as f:
        f.write(data)
for position in rng.sample(range(size), size // 100):
    data[position] ^= rng.randrange(1, 256)
with open(f"{folder}/diff", "wb") as f:
    f.write(data)
EOF

cd "$work"
cat same1 same2 diff >/dev/null # page cache warm
declare -a lum_same cmp_same lum_normal lum_normal_file lum_lines cmp_l floor_same
declare -a cpu_lum_same cpu_floor_same cpu_lum_normal_file cpu_cmp_l
# One run of each untimed, then the timed runs, alternating.
for ((run = 0; run <= runs; run++)); do
    t0=$(timed /dev/null "$floor" same1 same2)
    t1=$(timed /dev/null "$report" same1 same2)
    t2=$(timed /dev/null cmp same1 same2)
    t3=$(timed /dev/null "$report" same1 diff)
    t4=$(timed "$work/cmp-l.out" cmp -l same1 diff)
    t5=$(timed /dev/null "$report" --by-lines --with-chars same1 diff)
    t6=$(timed "$work/report.out" "$report" same1 diff)
    ((run == 0)) && continue
    floor_same+=("$(wall "$t0")") cpu_floor_same+=("$(cpu "$t0")")
    lum_same+=("$(wall "$t1")") cpu_lum_same+=("$(cpu "$t1")")
    cmp_same+=("$(wall "$t2")") lum_normal+=("$(wall "$t3")")
    cmp_l+=("$(wall "$t4")") cpu_cmp_l+=("$(cpu "$t4")")
    lum_lines+=("$(wall "$t5")")
    lum_normal_file+=("$(wall "$t6")") cpu_lum_normal_file+=("$(cpu "$t6")")
    echo "  run $run: identical: lumatra-report $(wall "$t1") s, cmp $(wall "$t2") s;" \
        "1% changed: lumatra-report $(wall "$t3") s (to a file $(wall "$t6") s), by lines with" \
        "chars $(wall "$t5") s, cmp -l $(wall "$t4") s"
    echo "    read floor $(wall "$t0") s; processor time: identical lumatra-report" \
        "$(cpu "$t1") s, read floor $(cpu "$t0") s; 1% changed to a file lumatra-report" \
        "$(cpu "$t6") s, cmp -l $(cpu "$t4") s; load $(cut -d' ' -f1 /proc/loadavg)"
done
echo "  outputs: cmp -l $(wc -l <cmp-l.out) lines, lumatra-report $(wc -l <report.out) lines"

# The difference map's cost: the same comparison without and with the map, alternating, three
# times as often as the runs above, since the difference sought is small.
percent_more() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f\n", (b / a - 1) * 100 }'
}
read -r map_same_off map_same_on < <("$map_cost" same1 same2 $((3 * runs)))
read -r map_diff_off map_diff_on < <("$map_cost" same1 diff $((3 * runs)))
map_same=$(percent_more "$map_same_off" "$map_same_on")
map_diff=$(percent_more "$map_diff_off" "$map_diff_on")
echo "  difference map (CPU seconds, medians of $((3 * runs))): identical $map_same_off s without," \
    "$map_same_on s with ($map_same %); 1% changed $map_diff_off s without, $map_diff_on s with" \
    "($map_diff %)"
rm -f same1 same2 diff cmp-l.out report.out

m_lum_same=$(median "${lum_same[@]}")
m_cmp_same=$(median "${cmp_same[@]}")
m_lum_normal=$(median "${lum_normal[@]}")
m_lum_normal_file=$(median "${lum_normal_file[@]}")
m_lum_lines=$(median "${lum_lines[@]}")
m_cmp_l=$(median "${cmp_l[@]}")
r_same=$(ratio "$m_lum_same" "$m_cmp_same")
r_normal=$(ratio "$m_lum_normal" "$m_cmp_l")
r_normal_file=$(ratio "$m_lum_normal_file" "$m_cmp_l")
r_lines=$(ratio "$m_lum_lines" "$m_cmp_l")
echo "medians of $runs runs: identical: lumatra-report $m_lum_same s, cmp $m_cmp_same s," \
    "ratio $r_same"
echo "  1% changed: lumatra-report $m_lum_normal s (ratio $r_normal; to a file" \
    "$m_lum_normal_file s, ratio $r_normal_file), by lines with chars $m_lum_lines s" \
    "(ratio $r_lines), cmp -l $m_cmp_l s"
m_floor_same=$(median "${floor_same[@]}")
r_floor=$(ratio "$m_lum_same" "$m_floor_same")
r_cpu_floor=$(ratio "$(median "${cpu_lum_same[@]}")" "$(median "${cpu_floor_same[@]}")")
r_cpu_file=$(ratio "$(median "${cpu_lum_normal_file[@]}")" "$(median "${cpu_cmp_l[@]}")")
echo "  read floor: $m_floor_same s; lumatra-report on the identical pair $r_floor x the floor"
echo "  processor-time ratios: identical $r_cpu_floor x the floor, 1% changed to a file" \
    "$r_cpu_file x cmp -l; load $(load)"

# Peak memory: sparse files read as zeros, with a few bytes changed along the way.
echo "peak memory on a pair of $sparse_gib GiB sparse files ..."
truncate -s "${sparse_gib}G" sparse1 sparse2
for gib in 1 3; do
    if ((gib < sparse_gib)); then
        printf 'x' | dd of=sparse2 bs=1 seek=$((gib << 30)) conv=notrunc status=none
    fi
done
printf 'y' | dd of=sparse2 bs=1 seek=$(((sparse_gib << 30) - 1)) conv=notrunc status=none
peak_kib() {
    { /usr/bin/time -v "$@" 2>&1 >/dev/null || true; } |
        awk -F: '/Maximum resident set size/ { print $2 + 0 }'
}
lum_peak=$(peak_kib "$report" sparse1 sparse2)
cmp_peak=$(peak_kib cmp -l sparse1 sparse2)
rm -f sparse1 sparse2
lum_peak_mib=$(awk -v k="$lum_peak" 'BEGIN { printf "%.1f\n", k / 1024 }')
cmp_peak_mib=$(awk -v k="$cmp_peak" 'BEGIN { printf "%.1f\n", k / 1024 }')
echo "  lumatra-report $lum_peak_mib MiB, cmp -l $cmp_peak_mib MiB"

both=$(awk -v a="$(verdict "$r_normal" 0.25)" -v b="$(verdict "$r_lines" 0.5)" \
    'BEGIN { print (a == "met" && b == "met" ? "met" : "missed") }')
echo "target 1: identical $mib MiB pair, lumatra-report $m_lum_same s = $r_same x cmp" \
    "(at most 0.25 x): $(verdict "$r_same" 0.25)"
echo "target 2: 1% of $mib MiB changed, Normal to /dev/null $m_lum_normal s = $r_normal x" \
    "cmp -l (at most 0.25 x), By lines with chars $r_lines x (at most 0.5 x): $both"
echo "target 3: peak memory on the $sparse_gib GiB sparse pair $lum_peak_mib MiB" \
    "(under 64 MiB): $(verdict "$lum_peak_mib" 63.999)"
echo "target 7: identical $mib MiB pair, lumatra-report $m_lum_same s = $r_floor x the read" \
    "floor (at most 1.15 x): $(verdict "$r_floor" 1.15)"
echo "target 8: 1% of $mib MiB changed, Normal, both to a file: lumatra-report" \
    "$m_lum_normal_file s = $r_normal_file x cmp -l (at most 0.30 x):" \
    "$(verdict "$r_normal_file" 0.30)"
map_verdict=$(awk -v a="$(verdict "$map_same" 3)" -v b="$(verdict "$map_diff" 3)" \
    'BEGIN { print (a == "met" && b == "met" ? "met" : "missed") }')
echo "target 9: keeping the difference map costs $map_same % on the identical pair and" \
    "$map_diff % on the 1% pair (at most 3 % each): $map_verdict"
echo "load at the end: $(load)"
