#!/usr/bin/env bash
# Times the realigning comparison (lumatra-report --realign) against a plain comparison of an
# identical pair and against itself switched off, page cache warm, runs alternating, medians:
#   1. random file 1, file 2 with EDITS insertions and EDITS removals of 1-256 bytes at random
#      places: --realign against a plain comparison of an identical pair (and GNU cmp beside
#      it, on the identical pair: on the edited one it stops at the first difference);
#   2. random pair with 0.1 % of the bytes replaced: --realign on against off, and whether the
#      two reports say the same, line for line;
#   3. zeros, file 2 with EDITS insertions of zeros and EDITS of non-zero bytes: every shift
#      found must be one of the non-zero insertions, at its place (the zeros are invisible,
#      and so are insertions too short to set off a search: their bytes are reported as
#      changed and the length they add as bytes only in file 2 at the end);
# and the peak memory of each realigning run. Pairs come from bench/realignpairs.py.
#   bench/realign-bench.sh [BUILD-DIR]        (default: build)
# Environment: LUMATRA_BENCH_MIB (1024), LUMATRA_BENCH_EDITS (50), LUMATRA_BENCH_RUNS (3),
# TMPDIR (where the pairs are written; they are removed at the end).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
report="$build/src/cli/lumatra-report"
mib=${LUMATRA_BENCH_MIB:-1024}
edits=${LUMATRA_BENCH_EDITS:-50}
runs=${LUMATRA_BENCH_RUNS:-3}
# need_built, need_tools, say_machine, load, timed, wall, cpu, median, ratio, verdict
. "$root/bench/benchlib.sh"
need_built realign-bench.sh "$report"
need_tools realign-bench.sh cmp python3 /usr/bin/time

work=$(mktemp -d "${TMPDIR:-/tmp}/realign-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
size=$((mib << 20))
say_machine
echo "writing the $mib MiB pairs to $work ..."
pairs="$root/bench/realignpairs.py"
python3 "$pairs" edits "$size" random edited "$edits" >edits.txt
cp random same
python3 "$pairs" replaced "$size" random2 replaced
python3 "$pairs" zeros "$size" zeros zeros-edited "$edits" >zero-edits.txt

peak_mib() {
    { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null || true; } | tail -n 1 |
        awk '{ printf "%.1f\n", $1 / 1024 }'
}

declare -a realign_edits plain_same cmp_same cmp_edited realign_on realign_off realign_zeros
cat random same edited random2 replaced zeros zeros-edited >/dev/null # page cache warm
for ((run = 0; run <= runs; run++)); do
    t0=$(timed /dev/null "$report" --realign random edited)
    t1=$(timed /dev/null "$report" random same)
    t2=$(timed /dev/null cmp random same)
    t3=$(timed /dev/null cmp random edited)
    t4=$(timed realign-on.txt "$report" --realign random2 replaced)
    t5=$(timed realign-off.txt "$report" random2 replaced)
    t6=$(timed zeros.txt "$report" --realign zeros zeros-edited)
    ((run == 0)) && continue
    realign_edits+=("$(wall "$t0")") plain_same+=("$(wall "$t1")") cmp_same+=("$(wall "$t2")")
    cmp_edited+=("$(wall "$t3")") realign_on+=("$(wall "$t4")") realign_off+=("$(wall "$t5")")
    realign_zeros+=("$(wall "$t6")")
    echo "  run $run: edits --realign $(wall "$t0") s, identical plain $(wall "$t1") s, cmp" \
        "$(wall "$t2") s; 0.1 % replaced on $(wall "$t4") s, off $(wall "$t5") s; zeros" \
        "$(wall "$t6") s; load $(cut -d' ' -f1 /proc/loadavg)"
done

# What the realigning runs found.
"$report" --realign random edited >edits-report.txt || true
# Found: the edits made, in order, each as an insertion or removal of its length.
made=$(wc -l <edits.txt)
found=$(cmp <(awk '{ print $1, $4 }' edits.txt) \
    <(sed -n 's/.* \([0-9]*\) bytes only in file \([12]\).*/\2 \1/p' edits-report.txt |
        awk '{ print ($1 == 2 ? "insert" : "remove"), $2 }') >/dev/null && echo "$made" || echo 0)
# The body lines of the two reports on the replaced pair: between the header's empty line and
# the summary's.
body() { sed '1,/^\r$/d' "$1" | sed '$d'; }
if cmp -s <(body realign-on.txt) <(body realign-off.txt); then same_report=yes; else same_report=no; fi
# Each shift found in zeros against the non-zero insertions made: one that gives the place and
# length of one is found; one that covers several with only zeros between counts them all as
# found, merged; a last one at file 2's end is the length the zeros added. Any other is wrong.
zero_check=$(python3 - zeros.txt zero-edits.txt "$size" <<'EOF_PY'
import re, sys
lines = [l for l in open(sys.argv[1], encoding="utf-8") if "bytes only in file" in l]
made = [l.split() for l in open(sys.argv[2])]
end2 = int(sys.argv[3]) + sum(int(c) for _, _, _, c in made)
nonzero = {int(p2): int(c) for op, p1, p2, c in made if op == "insert"}
visible = sum(1 for c in nonzero.values() if c >= 32)
found, merged, wrong = 0, 0, 0
for line in lines:
    m = re.match(r"\w+: (\d+) bytes only in file (\d), at (\w+)-", line)
    count, file, at = int(m[1]), m[2], int(m[3], 16)
    if file == "2" and at + count == end2 and line is lines[-1]:
        continue
    covered, position = 0, at
    while file == "2" and position in nonzero:
        covered += 1
        position += nonzero[position]
        if position == at + count:
            break
        # only zeros up to the next one
        later = [p for p in nonzero if position < p < at + count]
        position = min(later) if later else at + count + 1
    if file == "2" and position == at + count and covered > 0:
        found += covered
        merged += covered if covered > 1 else 0
    else:
        wrong += 1
print(found, visible, wrong, merged)
EOF_PY
)
read -r zero_found zero_visible zero_wrong zero_merged <<<"$zero_check"

mem_edits=$(peak_mib "$report" --realign random edited)
mem_zeros=$(peak_mib "$report" --realign zeros zeros-edited)
mem_replaced=$(peak_mib "$report" --realign random2 replaced)

m_edits=$(median "${realign_edits[@]}")
m_same=$(median "${plain_same[@]}")
m_cmp=$(median "${cmp_same[@]}")
m_cmp_edited=$(median "${cmp_edited[@]}")
m_on=$(median "${realign_on[@]}")
m_off=$(median "${realign_off[@]}")
m_zeros=$(median "${realign_zeros[@]}")
r_edits=$(ratio "$m_edits" "$m_same")
r_replaced=$(ratio "$m_on" "$m_off")
r_zeros=$(ratio "$m_zeros" "$m_same")
echo "medians of $runs runs, $mib MiB:"
echo "  edits: --realign $m_edits s, plain comparison of an identical pair $m_same s, ratio" \
    "$r_edits; cmp identical pair $m_cmp s, cmp edited pair $m_cmp_edited s (stops at the" \
    "first difference); shifts found $found of $made edits; peak memory $mem_edits MiB"
echo "  0.1 % replaced: --realign on $m_on s, off $m_off s, ratio $r_replaced; same report:" \
    "$same_report; peak memory $mem_replaced MiB"
echo "  zeros: --realign $m_zeros s, ratio $r_zeros to the identical pair; non-zero insertions" \
    "found $zero_found of $zero_visible long enough to be seen ($zero_merged of them merged" \
    "with a neighbour less than 4 KiB away), other shifts $zero_wrong;" \
    "peak memory $mem_zeros MiB"
peak=$(printf '%s\n' "$mem_edits" "$mem_zeros" "$mem_replaced" | sort -g | tail -n 1)
all_found=$(awk -v f="$found" -v m="$made" 'BEGIN { print (f == m ? "met" : "missed") }')
echo "target 1: $edits+$edits edits in $mib MiB, --realign $r_edits x a plain comparison of an" \
    "identical pair (at most 2 x), every edit found: $(verdict "$r_edits" 2), $all_found"
echo "target 2: 0.1 % of $mib MiB replaced, --realign on $r_replaced x off (at most 1.2 x)," \
    "same report: $(verdict "$r_replaced" 1.2), $([[ $same_report == yes ]] && echo met || echo missed)"
echo "target 3: zeros with insertions, no shift but the ones made ($zero_wrong others), at" \
    "most 2 x: $([[ $zero_wrong == 0 ]] && echo met || echo missed), $(verdict "$r_zeros" 2)"
echo "target 4: peak memory $peak MiB (at most 64 MiB): $(verdict "$peak" 64)"
echo "load at the end: $(load)"
