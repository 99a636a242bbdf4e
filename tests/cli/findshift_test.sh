#!/bin/bash
# End-to-end checks of lumatra-report --find-shift: findshift_test.sh PROGRAM CASE
# shellcheck source=testlib.sh
. "$(dirname "$0")/testlib.sh"

run() {
    "$program" "$@" >out.txt 2>err.txt
    status=$?
}

# Numbered lines: no stretch of 32 bytes repeats, so every shift is clear.
seq 1 12000 >a.txt
{ seq 1 1000; echo inserted; seq 1001 9000; echo again; seq 9001 12000; } >b.txt
hex() { printf '%X' "$1"; }
# expect_lines LINE...: standard output holds exactly these lines (they may start with --).
expect_lines() {
    printf '%s\n' "$@" >expected.txt
    cmp -s out.txt expected.txt || fail "out.txt: $(cat out.txt), expected $(cat expected.txt)"
}
at1=$(seq 1 1000 | wc -c)  # where "inserted" goes
at2=$(seq 1 9000 | wc -c)  # where "again" goes, counted in a.txt

case $case_name in
walk)
    # Each found pair, used as the offsets, lines the files up as far as the next insertion.
    run --find-shift a.txt b.txt
    expect_status 0 "first insertion"
    expect_lines "--offset1 $(hex "$at1") --offset2 $(hex $((at1 + 9)))" \
        "File 2 is shifted by +0x9 from 0x$(hex "$at1"): equal for 0x$(hex $((at2 - at1))) bytes."
    # shellcheck disable=SC2046
    run $(head -n 1 out.txt) a.txt b.txt
    grep -q "^$(printf '%08X' "$at2"):" out.txt || fail "the report from the pair starts its differences elsewhere"

    run --find-shift --offset1 "$(hex "$at1")" --offset2 "$(hex $((at1 + 9)))" a.txt b.txt
    expect_status 0 "second insertion"
    expect_lines "--offset1 $(hex "$at2") --offset2 $(hex $((at2 + 15)))" \
        "File 2 is shifted by +0x6 from 0x$(hex "$at2"): equal for 0x$(hex $(($(wc -c <a.txt) - at2))) bytes."

    # shellcheck disable=SC2046
    run $(head -n 1 out.txt) a.txt b.txt
    expect_status 0 "equal after the last pair"
    run --find-shift --offset1 "$(hex "$at2")" --offset2 "$(hex $((at2 + 15)))" a.txt b.txt
    expect_status 1 "nothing left to line up"

    # The other way round: file 1 holds the extra bytes.
    run --find-shift b.txt a.txt
    expect_status 0 "removal"
    grep -q "^--offset1 $(hex $((at1 + 9))) --offset2 $(hex "$at1")\$" out.txt || fail "removal: $(cat out.txt)"
    ;;

not_found)
    run --find-shift --shift-window 8 a.txt b.txt
    expect_status 1 "window too small"
    expect_file out.txt "The files first differ at 0x$(hex "$at1") in file 1 and 0x$(hex "$at1") in file 2; no shift of up to 0x8 bytes either way makes them equal again for 0x20 bytes.\n"
    run --find-shift --shift-window=1K a.txt b.txt
    expect_status 0 "a window in KiB"
    ;;

trouble)
    # The quotes stand in the expected messages, never in the arguments.
    # shellcheck disable=SC2089,SC2090
    for args in "--find-shift a.txt missing.txt:File 2 doesn't exist!" \
        "--find-shift --offset1 g a.txt b.txt:Offset 1 isn't HEX number !" \
        "--find-shift --shift-window 0 a.txt b.txt:lumatra-report: shift window '0' is not a number of bytes" \
        "--find-shift --shift-window 1T a.txt b.txt:lumatra-report: shift window '1T' is not a number of bytes" \
        "--find-shift --shift-window 9999999999999999999 a.txt b.txt:lumatra-report: shift window '9999999999999999999' is more than the largest window, 4294967296G" \
        "--find-shift --shift-window 4294967297G a.txt b.txt:lumatra-report: shift window '4294967297G' is more than the largest window, 4294967296G" \
        "--shift-window 8 a.txt b.txt:lumatra-report: option '--shift-window' goes only with '--find-shift' or '--realign'" \
        "--find-shift -o r.txt a.txt b.txt:lumatra-report: '--find-shift' writes no report: it takes no report options"; do
        # shellcheck disable=SC2086
        run ${args%%:*}
        expect_status 2 "${args%%:*}"
        head -n 1 err.txt >first.txt
        expect_file first.txt "${args#*:}\n"
        expect_file out.txt ''
    done
    ;;

past_4gib)
    # The pair lies past what eight hex digits reach: printed as found, and said so.
    for name in a b; do
        truncate -s 4G "$name.big"
        cat "$name.txt" >>"$name.big"
    done
    run --find-shift --offset1 FFFFFFFF --offset2 FFFFFFFF a.big b.big
    expect_status 0 "past 4 GiB"
    grep -q "^--offset1 1$(printf '%08X' "$at1") --offset2 1$(printf '%08X' $((at1 + 9)))\$" out.txt || fail "past 4 GiB: $(cat out.txt)"
    grep -q "These offsets need more than 8 hex digits, which --offset1 and --offset2 do not take.\$" out.txt || fail "no word on the long offsets"
    ;;

*)
    fail "no case $case_name"
    ;;
esac
exit $((failures > 0))
