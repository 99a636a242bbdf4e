# shellcheck shell=bash
# Helpers shared by the benchmark scripts (sourced, not run).

# Seconds taken by a command whose output goes to the file given first, on the clock and in
# processor time, user and system ("wall cpu"); exit statuses 0 and 1 (same, different) are
# success. Python measures, since the shell counts processor time in whole clock ticks.
timed() {
    local out=$1
    shift
    python3 - "$out" "$@" <<'EOF_PY'
import resource, subprocess, sys, time
before = resource.getrusage(resource.RUSAGE_CHILDREN)
with open(sys.argv[1], "wb") as out:
    start = time.perf_counter()
    status = subprocess.run(sys.argv[2:], stdout=out, stderr=subprocess.DEVNULL).returncode
    wall = time.perf_counter() - start
after = resource.getrusage(resource.RUSAGE_CHILDREN)
if not 0 <= status <= 1:
    sys.exit(f"benchmark: '{' '.join(sys.argv[2:])}' failed with status {status}")
cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
print(f"{wall:.4f} {cpu:.4f}")
EOF_PY
}

wall() { echo "${1% *}"; }
cpu() { echo "${1#* }"; }

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

