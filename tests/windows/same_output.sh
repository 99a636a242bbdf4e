#!/usr/bin/env bash
# Runs the Linux and the Windows lumatra-report (the latter through wine) on the same pairs
# of files with the same options and checks that they write the same bytes and end with the
# same status. Run as: same_output.sh LINUX_PROGRAM WINDOWS_PROGRAM
set -u
linux=$1
windows=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

# Pairs: a few changed bytes, every byte value against its complement, lengths that differ,
# a stretch moved by 37 bytes (for --find-shift), and more than 1000 changes.
printf 'ABCDEFGH' >a.bin
printf 'AbcDEfGH' >b.bin
for i in $(seq 0 255); do printf "\\$(printf %03o "$i")"; done >all.bin
for i in $(seq 255 -1 0); do printf "\\$(printf %03o "$i")"; done >inverse.bin
head -c 70000 /dev/urandom >random1.bin
cp random1.bin random2.bin
printf 'XYZ' | dd of=random2.bin bs=1 seek=40000 conv=notrunc status=none
{ head -c 5000 random1.bin; head -c 37 /dev/zero; tail -c +5001 random1.bin; } >shifted.bin
head -c 3000 /dev/zero >zeros.bin
head -c 2500 /dev/zero | tr '\0' '\1' >ones.bin
cp a.bin same.bin

check() {
    LC_ALL=C "$linux" "$@" >linux.out 2>linux.err
    local linux_status=$?
    "$windows" "$@" >windows.out 2>windows.err
    local windows_status=$?
    if [ "$linux_status" -ne "$windows_status" ]; then
        echo "FAIL: $*: status $windows_status on Windows, $linux_status on Linux" >&2
        failures=$((failures + 1))
    elif ! cmp -s linux.out windows.out; then
        echo "FAIL: $*: the reports differ: $(cmp linux.out windows.out)" >&2
        failures=$((failures + 1))
    elif ! cmp -s linux.err windows.err; then
        echo "FAIL: $*: the messages differ: $(head -c 200 windows.err)" >&2
        failures=$((failures + 1))
    fi
}

for options in "" "--by-lines" "--with-chars" "--by-lines --with-chars"; do
    # shellcheck disable=SC2086
    {
        check $options a.bin b.bin
        check $options all.bin inverse.bin
        check $options --offset1 10 --offset2 3 all.bin inverse.bin
        check $options --offset1 FFFFFFFF all.bin a.bin
        check $options random1.bin random2.bin
        check $options zeros.bin ones.bin
        check $options --stop-after-1000 zeros.bin ones.bin
    }
done
check a.bin same.bin
check --map 7 zeros.bin ones.bin
check --map 4096 random1.bin shifted.bin
check --find-shift random1.bin shifted.bin
check --find-shift --shift-window 16 random1.bin shifted.bin
check a.bin missing.bin
check --offset1 xyz a.bin b.bin
check --frobnicate a.bin b.bin
check --version

echo "same_output: $failures difference(s)"
[ "$failures" -eq 0 ]
