#!/usr/bin/env bash
# lumatra-report.exe under wine where Windows differs from POSIX systems: names in UTF-16 at
# the system's edge, backslash paths, paths past 260 characters, the -o target and its
# temporary file. Run as: cli_windows.sh PROGRAM CASE
# shellcheck source=../cli/testlib.sh
source "$(dirname "$0")/../cli/testlib.sh"

run() {
    "$program" "$@" >out.txt 2>err.txt
    status=$?
}

# The report of a.bin against b.bin under the names given, as the Linux build writes it.
example() {
    printf 'File 1: %s (8 bytes, Start offset 0x0)\r\nFile 2: %s (8 bytes, Start offset 0x0, Shift 0x0)\r\n\r\n00000001: 42 62\r\n00000002: 43 63\r\n00000005: 46 66\r\n\r\n3 bytes changed, 2 locations\r\n' "$1" "$2"
}

expect_example() {
    example "$1" "$2" >expected.txt
    cmp -s out.txt expected.txt || fail "$1 $2: $(od -c out.txt | head -4)"
}

# No temporary file is left beside the report.
expect_no_leftovers() {
    local left
    left=$(find . -name '*.??????' ! -name '*.bin' | head -3)
    [ -z "$left" ] || fail "$1: temporary files left: $left"
}

printf 'ABCDEFGH' >a.bin
printf 'AbcDEfGH' >b.bin

case $case_name in
names)
    # Letters beyond the ANSI code page, blanks, and backslashes as written.
    for name in 'Grüße aus Köln.bin' '日本 файл.bin' 'emoji 😀.bin'; do
        cp a.bin "$name"
        run "$name" b.bin
        expect_status 1 "$name"
        expect_example "$name" b.bin
    done
    mkdir sub
    cp b.bin sub/
    run '.\a.bin' 'sub\b.bin'
    expect_example '.\a.bin' 'sub\b.bin'
    windows_work="Z:$(pwd | tr / '\\')"
    run "$windows_work\\a.bin" "$windows_work\\sub\\b.bin"
    expect_example "$windows_work\\a.bin" "$windows_work\\sub\\b.bin"
    run "$windows_work\\missing.bin" b.bin
    expect_status 2 "a missing file"
    expect_file err.txt "File 1 doesn't exist!\n"
    ;;

past_4_gib)
    # Files past 4 GiB (sparse here): 64-bit lengths and positions, nine-digit labels.
    truncate -s 4294967312 big1.bin
    truncate -s 4294967312 big2.bin
    printf 'A' | dd of=big2.bin bs=1 seek=4294967300 conv=notrunc status=none
    run --offset1 FFFFFFF0 --offset2 FFFFFFF0 big1.bin big2.bin
    expect_status 1 "files past 4 GiB"
    printf 'File 1: big1.bin (4294967312 bytes, Start offset 0xFFFFFFF0)\r\nFile 2: big2.bin (4294967312 bytes, Start offset 0xFFFFFFF0, Shift 0x0)\r\n\r\n100000004: 00 41\r\n\r\n1 bytes changed, 1 locations\r\n' >expected.txt
    cmp -s out.txt expected.txt || fail "files past 4 GiB: $(od -c out.txt | head -8)"
    ;;

long_path)
    # Past the old limit of 260 characters, relative and absolute, with either separator.
    segment=$(printf 'd%.0s' $(seq 1 200))
    path=.
    while [ ${#path} -lt 900 ]; do
        path=$path/$segment
    done
    mkdir -p "$path"
    cp a.bin "$path/a.bin"
    run "$path/a.bin" b.bin
    expect_example "$path/a.bin" b.bin
    backslashed=$(tr / '\\' <<<"$path")'\a.bin'
    run "$backslashed" b.bin
    expect_example "$backslashed" b.bin
    run a.bin b.bin -o "$path/report.txt"
    expect_status 1 "-o past 260 characters"
    example a.bin b.bin >expected.txt
    cmp -s "$path/report.txt" expected.txt || fail "the long report path holds the wrong text"
    ;;

output)
    example a.bin b.bin >expected.txt
    run a.bin b.bin -o new.txt
    expect_status 1 "-o a new file"
    cmp -s new.txt expected.txt || fail "new.txt: $(od -c new.txt | head -3)"
    printf 'old and longer than the report, so that a leftover tail would show %0300d' 0 >old.txt
    run a.bin b.bin -o old.txt
    cmp -s old.txt expected.txt || fail "old.txt was not replaced whole"
    expect_no_leftovers "-o"
    # The shell's > refuses a read-only file, and so does the report.
    printf 'kept' >readonly.txt
    chmod a-w readonly.txt
    run a.bin b.bin -o readonly.txt
    expect_status 2 "-o a read-only file"
    expect_file readonly.txt 'kept'
    mkdir folder
    run a.bin b.bin -o folder
    expect_status 2 "-o a folder"
    run a.bin b.bin -o NUL
    expect_status 1 "-o NUL"
    [ -s out.txt ] && fail "-o NUL wrote to standard output"
    # The output is never one of the inputs, however it is spelt.
    for spelling in a.bin '.\a.bin' "Z:$(pwd | tr / '\\')\\A.BIN"; do
        run a.bin b.bin -o "$spelling"
        expect_status 2 "-o $spelling, an input"
        expect_file a.bin 'ABCDEFGH'
    done
    expect_no_leftovers "refused targets"
    ;;

killed | interrupted | hungup)
    # A run killed, interrupted (Ctrl+C: wine turns INT into the console's Ctrl+C) or whose
    # console closed (HUP) while it writes leaves no temporary file and the old report whole:
    # the system deletes the temporary file when its last handle closes.
    head -c 20000000 /dev/zero >zeros.bin
    head -c 20000000 /dev/zero | tr '\0' '\1' >ones.bin
    printf 'old report' >report.txt
    "$program" zeros.bin ones.bin -o report.txt >/dev/null 2>&1 &
    runner=$!
    for _ in $(seq 1 200); do
        [ -n "$(find . -name 'report.txt.*' | head -1)" ] && break
        sleep 0.05
    done
    [ -n "$(find . -name 'report.txt.*' | head -1)" ] || fail "no temporary file seen while the run wrote"
    # wine runs the program in the process it was started as.
    case $case_name in
    killed) kill -KILL "$runner" ;;
    interrupted) kill -INT "$runner" ;;
    hungup) kill -HUP "$runner" ;;
    esac
    wait "$runner" 2>/dev/null
    for _ in $(seq 1 100); do
        [ -z "$(find . -name 'report.txt.*' | head -1)" ] && break
        sleep 0.05
    done
    expect_no_leftovers "a $case_name run"
    expect_file report.txt 'old report'
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac

exit $((failures > 0))
