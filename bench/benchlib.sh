# shellcheck shell=bash
# Helpers shared by the benchmark scripts (sourced, not run).

# Ends the script (named first) with a message unless each program is built.
need_built() {
    local script=$1 program
    shift
    for program; do
        [[ -x $program ]] || { echo "$script: $program is missing; build the project first" >&2; exit 2; }
    done
}

# Ends the script (named first) with a message unless each tool is on the path.
need_tools() {
    local script=$1 tool
    shift
    for tool; do
        command -v "$tool" >/dev/null || { echo "$script: $tool is needed" >&2; exit 2; }
    done
}

# The machine's load averages over 1, 5 and 15 minutes.
load() { cut -d' ' -f1-3 /proc/loadavg; }

say_machine() { echo "machine: $(nproc) processors, load $(load)"; }

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

