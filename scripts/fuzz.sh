#!/usr/bin/env bash
# Differential fuzzing of the comparison engine against the plain reference comparer.
# fuzz.sh [SECONDS]: builds the fuzz target with clang-14 (ASan + UBSan) and runs it for
# SECONDS (default 120) with one job, from a copy of the checked-in seed corpus. Prints the
# number of executions and how many of them compared positions past 4 GiB; exits non-zero
# on any finding, whose input is kept under build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
case $seconds in
'' | *[!0-9]*)
    echo "usage: fuzz.sh [SECONDS]" >&2
    exit 2
    ;;
esac

if ! command -v clang++-14 >/dev/null || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq clang-14 libclang-rt-14-dev
fi

build="build-fuzz"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLUMATRA_FUZZ=ON -DLUMATRA_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target comparefuzz

# The fuzzer adds what it learns to its corpus folder: never the checked-in one.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus"/
findings=$build/findings
mkdir -p "$findings"

status=0
"$build/tests/fuzz/comparefuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" 2>"$build/fuzz.log" || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz.log")
echo "comparefuzz: ${runs:-unknown} executions in ${seconds} s"
# The target tells how many of its runs compared positions past 4 GiB; its last word counts.
grep 'executions compared positions past 4 GiB' "$build/fuzz.log" | tail -n 1
if [ "$status" -ne 0 ] || [ -z "$runs" ]; then
    grep -A12 -E 'disagree|engine failed|ERROR' "$build/fuzz.log" >&2 || tail -20 "$build/fuzz.log" >&2
    echo "comparefuzz: finding kept in $findings/, full log in $build/fuzz.log" >&2
    exit 1
fi
