#!/usr/bin/env bash
# Times lumatra-report against GNU cmp on the same pairs, page cache warm, runs alternating:
# an identical pair, a pair with 1% of its bytes changed at random positions (against cmp -l),
# and the peak memory on a sparse pair of 4 GiB files.
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
mib=${LUMATRA_BENCH_MIB:-256}
sparse_gib=${LUMATRA_BENCH_SPARSE_GIB:-4}
runs=${LUMATRA_BENCH_RUNS:-5}
if [[ ! -x $report ]]; then
    echo "cli-bench.sh: $report is missing; build the project first" >&2
    exit 2
fi
for tool in cmp python3 /usr/bin/time truncate; do
    command -v "$tool" >/dev/null || { echo "cli-bench.sh: $tool is needed" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The pairs: same1/same2 identical, same1/diff with 1% of the bytes changed (each to another
# value), all from a fixed seed.
echo "machine: $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
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

# Seconds taken by a command whose output goes to the file given first; exit statuses 0 and 1
# (same, different) are success.
timed() {
    local out=$1 start end status=0
    shift
    start=$EPOCHREALTIME
    "$@" >"$out" 2>/dev/null || status=$?
    end=$EPOCHREALTIME
    if ((status > 1)); then
        echo "cli-bench.sh: '$*' failed with status $status" >&2
        exit 2
    fi
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f\n", e - s }'
}

median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f\n", a / b }'
}

# met when value <= limit
verdict() {
    awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l ? "met" : "missed") }'
}

cd "$work"
cat same1 same2 diff >/dev/null # page cache warm
declare -a lum_same cmp_same lum_normal lum_normal_file lum_lines cmp_l
# One run of each untimed, then the timed runs, alternating.
for ((run = 0; run <= runs; run++)); do
    t1=$(timed /dev/null "$report" same1 same2)
    t2=$(timed /dev/null cmp same1 same2)
    t3=$(timed /dev/null "$report" same1 diff)
    t4=$(timed "$work/cmp-l.out" cmp -l same1 diff)
    t5=$(timed /dev/null "$report" --by-lines --with-chars same1 diff)
    t6=$(timed "$work/report.out" "$report" same1 diff)
    ((run == 0)) && continue
    lum_same+=("$t1") cmp_same+=("$t2") lum_normal+=("$t3") cmp_l+=("$t4") lum_lines+=("$t5")
    lum_normal_file+=("$t6")
    echo "  run $run: identical: lumatra-report $t1 s, cmp $t2 s;" \
        "1% changed: lumatra-report $t3 s (to a file $t6 s), by lines with chars $t5 s, cmp -l $t4 s"
done
echo "  outputs: cmp -l $(wc -l <cmp-l.out) lines, lumatra-report $(wc -l <report.out) lines"
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
