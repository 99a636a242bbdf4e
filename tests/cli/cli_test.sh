#!/bin/bash
# End-to-end checks of lumatra-report: cli_test.sh PROGRAM CASE
# shellcheck source=testlib.sh
. "$(dirname "$0")/testlib.sh"

# run ARGS...: runs the program, keeping stdout, stderr and the exit status.
run() {
    "$program" "$@" >out.txt 2>err.txt
    status=$?
}

printf 'ABCDEFGH' >a.bin
printf 'AbcDEfGH' >b.bin
cp a.bin same.bin
mkdir folder

example_report='File 1: a.bin (8 bytes, Start offset 0x0)\r\nFile 2: b.bin (8 bytes, Start offset 0x0, Shift 0x0)\r\n\r\n00000001: 42 62  B b\r\n00000002: 43 63  C c\r\n00000005: 46 66  F f\r\n\r\n3 bytes changed, 2 locations\r\n'

case $case_name in
exit_codes)
    run a.bin same.bin
    expect_status 0 "equal files"
    expect_file out.txt 'File 1: a.bin (8 bytes, Start offset 0x0)\r\nFile 2: same.bin (8 bytes, Start offset 0x0, Shift 0x0)\r\n\r\n\r\n0 bytes changed, 0 locations\r\n'
    expect_file err.txt ''

    run --with-chars a.bin b.bin
    expect_status 1 "different files"
    expect_file out.txt "$example_report"

    run --by-lines --offset1 5 --offset2=5 -- a.bin b.bin
    expect_status 1 "offsets and --"
    expect_file out.txt 'File 1: a.bin (8 bytes, Start offset 0x5)\r\nFile 2: b.bin (8 bytes, Start offset 0x5, Shift 0x0)\r\n\r\n00000000: 46\r\n          66\r\n\r\n1 bytes changed, 1 locations\r\n'

    # 1200 differing bytes: the stop after 1000 answers No to the question.
    head -c 1200 /dev/zero >zeros.bin
    head -c 1200 /dev/zero | tr '\0' '\1' >ones.bin
    run --stop-after-1000 zeros.bin ones.bin
    expect_status 1 "stop after 1000"
    tail -c 35 out.txt >summary.txt
    expect_file summary.txt '\r\n1000 bytes changed, 1 locations\r\n'
    run zeros.bin ones.bin
    grep -q '^1200 bytes changed, 1 locations' out.txt || fail "carrying on after 1000"
    ;;

bad_input)
    # The window's checks in its order: the first failing one is the only message.
    for args in "missing.bin b.bin --offset1 x --offset2 y:File 1 doesn't exist!" \
        "folder b.bin:File 1 doesn't exist!" \
        "a.bin missing.bin --offset1 x:File 2 doesn't exist!" \
        "a.bin b.bin --offset1 0x1A --offset2 y:Offset 1 isn't HEX number !" \
        "a.bin b.bin --offset2 1g:Offset 2 isn't HEX number !"; do
        # shellcheck disable=SC2086
        run ${args%%:*}
        expect_status 2 "${args%%:*}"
        expect_file err.txt "${args#*:}\n"
        expect_file out.txt ''
    done
    run "" b.bin
    expect_file err.txt "File 1 doesn't exist!\n"
    run a.bin b.bin --offset1 " 1"
    expect_file err.txt "Offset 1 isn't HEX number !\n"
    # An empty offset reads as 0.
    run a.bin b.bin --offset1 ""
    expect_status 1 "empty offset"
    ;;

output_file)
    run --with-chars -o report.txt a.bin b.bin
    expect_status 1 "-o"
    expect_file report.txt "$example_report"
    expect_file out.txt ''

    # A failed run leaves an existing report as it was, and no temporary file behind.
    printf 'old report' >report.txt
    run -o report.txt missing.bin b.bin
    expect_status 2 "-o with a missing file"
    expect_file report.txt 'old report'
    mkdir locked
    printf 'old report' >locked/report.txt
    chmod a-w locked
    if [ ! -w locked ]; then
        # The file is writable: written in place, as `>` writes it.
        run --with-chars -o locked/report.txt a.bin b.bin
        expect_status 1 "-o in a folder without write access"
        expect_file locked/report.txt "$example_report"
    fi
    chmod u+w locked
    [ "$(ls | grep -c 'report.txt.')" -eq 0 ] || fail "temporary files left: $(ls)"

    run -o report.txt a.bin same.bin
    expect_status 0 "-o replacing a file"
    grep -q '^0 bytes changed' report.txt || fail "report.txt not replaced"
    run -o "" a.bin b.bin
    expect_status 2 "-o with an empty name"

    # The report never replaces a file it compares, by its own name or through a link.
    ln -s b.bin link-to-b.bin
    for target in a.bin link-to-b.bin; do
        run -o "$target" a.bin b.bin
        expect_status 2 "-o naming a compared file ($target)"
        expect_file out.txt ''
    done
    expect_file a.bin 'ABCDEFGH'
    expect_file b.bin 'AbcDEfGH'
    ;;

output_targets)
    # A FIFO or a device is written as `>` writes it: opened, never replaced.
    mkfifo fifo
    timeout 20 cat fifo >from-fifo.txt &
    reader=$!
    timeout 20 "$program" --with-chars -o fifo a.bin b.bin >out.txt 2>err.txt
    status=$?
    wait $reader
    expect_status 1 "-o a FIFO"
    [ -p fifo ] || fail "the FIFO was replaced"
    expect_file from-fifo.txt "$example_report"
    if mknod full c 1 7 2>/dev/null; then
        run -o full a.bin b.bin
        expect_status 2 "-o a full device"
        expect_file err.txt 'lumatra-report: Cannot write the report to full: No space left on device\n'
        [ -c full ] || fail "the device was replaced"
    fi
    if python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' sock; then
        run -o sock a.bin b.bin
        expect_status 2 "-o a socket"
        [ -S sock ] || fail "the socket was replaced"
    fi

    # The program's own descriptors are written through, at their position: what their files
    # held stays, and a deleted file's link ("... (deleted)") names no new file.
    ln -s /dev/stdout stdout-link
    printf 'old\n' >held.txt
    ln held.txt held-too.txt
    expected="old\n"
    for form in /dev/stdout /dev/fd/1 /proc/self/fd/1 stdout-link; do
        "$program" --with-chars -o $form a.bin b.bin >>held.txt
        expected=$expected$example_report
    done
    "$program" --with-chars -o /dev/stderr a.bin b.bin 2>>held.txt
    exec 3>>held.txt
    rm held.txt
    "$program" --with-chars -o /proc/self/fd/3 a.bin b.bin
    exec 3>&-
    expect_file held-too.txt "$expected$example_report$example_report"
    compgen -G '*deleted*' >/dev/null && fail "a file named after a deleted descriptor: $(ls)"
    { printf 'HEAD\n'; "$program" --with-chars -o /dev/stdout a.bin b.bin; printf 'FOOT\n'; } >joined.txt
    expect_file joined.txt "HEAD\n${example_report}FOOT\n"
    run -o /dev/fd/9 a.bin b.bin
    expect_file err.txt 'lumatra-report: Cannot write the report to /dev/fd/9: Bad file descriptor\n'

    # A file with another name is written in place: both names get the report. A replaced one
    # keeps its ACL and extended attributes, and gets none from its folder's default ACL.
    printf 'old' >linked.txt
    ln linked.txt other-name.txt
    run -o linked.txt a.bin same.bin
    grep -q '^0 bytes changed' other-name.txt || fail "the other name kept the old text"
    mkdir inherits
    printf 'old' >acl.txt
    printf 'old' >inherits/plain.txt
    if setfacl -d -m u:nobody:rwx inherits && setfacl -m u:nobody:rw acl.txt &&
        setfattr -n user.note -v kept acl.txt; then
        chmod 640 acl.txt
        for target in acl.txt inherits/plain.txt; do
            before=$(getfacl -c $target; getfattr -d $target; stat -c %a $target)
            run -o $target a.bin same.bin
            expect_status 0 "-o $target"
            after=$(getfacl -c $target; getfattr -d $target; stat -c %a $target)
            [ "$after" = "$before" ] || fail "$target: $after, was $before"
        done
    fi

    # A report written straight to the terminal gets no progress text torn into its lines.
    if command -v script >/dev/null; then
        script -qc "'$program' -o /dev/tty a.bin b.bin" /dev/null >tty.txt 2>&1
        grep -q 'Done!' tty.txt && fail "progress on the report's terminal: $(od -c tty.txt | head -3)"
        grep -q '^3 bytes changed' tty.txt || fail "no report on the terminal: $(cat tty.txt)"
    fi

    # A link stays; the file it leads to is replaced, and a dangling one names the new file.
    printf 'old' >real.txt
    ln -s real.txt link.txt
    ln -s created.txt dangling
    for target in link.txt dangling; do
        run -o $target a.bin same.bin
        expect_status 0 "-o $target"
        [ -L $target ] || fail "$target was replaced"
    done
    grep -q '^0 bytes changed' real.txt || fail "the link's file not replaced"
    grep -q '^0 bytes changed' created.txt || fail "the dangling link's file not created"
    # Renamed across file systems, a temporary file beside the link would fail.
    far=$(mktemp -d /dev/shm/lumatra-XXXXXX 2>/dev/null) && [ "$(stat -c %d "$far")" != "$(stat -c %d .)" ] && {
        ln -s "$far/report.txt" far-link
        run -o far-link a.bin same.bin
        expect_status 0 "-o a link into another file system"
        [ -f "$far/report.txt" ] || fail "no report beside the far link's target"
    }
    [ -n "$far" ] && rm -rf "$far"

    # Permissions, owner and group stay; root writes a read-only file as `>` does.
    printf 'old' >kept.txt
    chmod 444 kept.txt
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup kept.txt
    before=$(stat -c '%a %U %G' kept.txt)
    run -o kept.txt a.bin same.bin
    expect_status 0 "-o a read-only file as $(id -un)"
    [ "$(stat -c '%a %U %G' kept.txt)" = "$before" ] || fail "kept.txt: $(stat -c '%a %U %G' kept.txt), was $before"

    # A name of 250 characters is legal; its temporary name must fit too.
    long=$(printf 'r%.0s' $(seq 1 250))
    run -o "$long" a.bin same.bin
    expect_status 0 "-o a name of 250 characters"
    for target in folder/ . folder missing/; do
        run -o $target a.bin b.bin
        expect_status 2 "-o $target"
        expect_file err.txt "lumatra-report: Cannot write the report to $target: Is a directory\n"
    done
    compgen -G '*.lumatra-report-*' >/dev/null && fail "temporary files left: $(ls)"
    ;;

output_as_user)
    # Another user's `>` would be refused: so is the report, and the file stays as it was.
    if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null; then
        echo "needs root and setpriv: skipped"
        exit 0
    fi
    chmod 755 .
    as_nobody() {
        setpriv --reuid=nobody --regid=nogroup --clear-groups "$program" "$@" >out.txt 2>err.txt
        status=$?
    }
    as_nobody --version
    if [ "$status" -ne 0 ]; then
        echo "the program is out of nobody's reach: skipped"
        exit 0
    fi
    mkdir open && chmod 777 open
    printf 'old' >open/root.txt
    printf 'old' >open/readonly.txt
    printf 'old' >open/own.txt
    chown nobody:nogroup open/readonly.txt open/own.txt
    chmod 444 open/readonly.txt
    chmod 640 open/own.txt
    for target in root.txt readonly.txt; do
        as_nobody -o open/$target a.bin same.bin
        expect_status 2 "nobody's -o $target"
        expect_file err.txt "lumatra-report: Cannot write the report to open/$target: Permission denied\n"
        expect_file open/$target 'old'
    done
    as_nobody -o open/own.txt a.bin same.bin
    expect_status 0 "nobody's -o own.txt"
    [ "$(stat -c '%a %U' open/own.txt)" = "640 nobody" ] || fail "own.txt: $(stat -c '%a %U' open/own.txt)"
    [ "$(ls open | wc -l)" -eq 3 ] || fail "temporary files left: $(ls open)"
    # Where a new file could not be what root's 0666 file was, it is written in place as `>`
    # writes it: in a folder nobody may not write, in a sticky one, in an open one.
    mkdir shut sticky
    chmod 1777 sticky
    for target in shut/root.txt sticky/root.txt open/shared.txt; do
        printf 'old' >$target
        chmod 666 $target
        before=$(stat -c '%i %U %a' $target)
        as_nobody -o $target a.bin same.bin
        expect_status 0 "nobody's -o $target"
        [ "$(stat -c '%i %U %a' $target)" = "$before" ] || fail "$target: $(stat -c '%i %U %a' $target)"
        grep -q '^0 bytes changed' $target || fail "$target not written"
    done
    ;;

long_report)
    # A report of some 550 KiB, crossing the output buffer's edge many times, from a pair whose
    # differences lie a few bytes apart, then far apart across long equal stretches, then at
    # the very end. The expected body comes from cmp -l, turned into labels and hex by awk.
    printf '\1\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\2\0' >unit.bin
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14; do cat unit.bin unit.bin >twice.bin && mv twice.bin unit.bin; done
    { cat unit.bin; head -c 70000 /dev/zero; printf '\377'; head -c 200003 /dev/zero; printf 'z'; } >busy.bin
    size=$(wc -c <busy.bin)
    head -c "$size" /dev/zero >quiet.bin
    cmp -l quiet.bin busy.bin | awk '
        function octal(text,    n, i) {
            for (i = 1; i <= length(text); i++) n = n * 8 + substr(text, i, 1)
            return n
        }
        { printf "%08X: %02X %02X\r\n", $1 - 1, octal($2), octal($3) }' >body.txt
    changed=$(wc -l <body.txt)
    {
        printf 'File 1: quiet.bin (%s bytes, Start offset 0x0)\r\n' "$size"
        printf 'File 2: busy.bin (%s bytes, Start offset 0x0, Shift 0x0)\r\n\r\n' "$size"
        cat body.txt
        printf '\r\n%s bytes changed, %s locations\r\n' "$changed" "$changed"
    } >expected-report.txt
    [ "$(wc -c <expected-report.txt)" -gt 500000 ] || fail "the pair gives too short a report"
    run quiet.bin busy.bin
    expect_status 1 "a long report"
    cmp -s out.txt expected-report.txt || fail "long report on stdout: $(cmp out.txt expected-report.txt)"
    run -o report.txt quiet.bin busy.bin
    cmp -s report.txt expected-report.txt || fail "long report to a file: $(cmp report.txt expected-report.txt)"
    ;;

help_version)
    run --help
    expect_status 0 "--help"
    grep -q '^Usage: lumatra-report \[OPTION\]... FILE1 FILE2$' out.txt || fail "--help text"
    expect_file err.txt ''
    run --version
    expect_status 0 "--version"
    grep -q '^lumatra-report (Lumatra) [0-9]' out.txt || fail "--version text: $(cat out.txt)"

    for args in "--frobnicate a.bin b.bin" "a.bin" "a.bin b.bin c.bin" "--offset1" \
        "--offset1 123456789 a.bin b.bin"; do
        # shellcheck disable=SC2086
        run $args
        expect_status 2 "$args"
        expect_file out.txt ''
        grep -q "^Try 'lumatra-report --help' for more information.$" err.txt ||
            fail "$args: no usage hint: $(cat err.txt)"
    done
    # After --, a name that looks like an option is a file.
    printf 'x' >./--help
    run -- --help a.bin
    expect_status 1 "-- before a file named --help"
    ;;

map)
    # Parts of 4 bytes: three differences in the first, one in the third, scaled to 40 cells.
    printf 'AAAAAAAAAAAAAAAA' >p.bin
    printf 'AbbbAAAAAbAAAAAA' >q.bin
    full=$(printf '\u2588%.0s' $(seq 40))
    run --map 4 p.bin q.bin
    expect_status 1 "--map"
    expect_file out.txt "00000000-00000003 3 $full\r\n00000004-00000007 0\r\n00000008-0000000B 1 ${full:0:13}\u258D\r\n0000000C-0000000F 0\r\n\r\n4 bytes changed, 2 locations\r\n"
    # Positions as the report labels them: in file 1, or from the start offsets by lines.
    run --map=2 --offset1 8 --offset2 8 -o map.txt p.bin q.bin
    expect_file map.txt "00000008-0000000B 1 $full\r\n0000000C-0000000F 0\r\n\r\n1 bytes changed, 1 locations\r\n"
    run --map=2 --by-lines --offset1 8 --offset2 8 p.bin q.bin
    expect_file out.txt "00000000-00000003 1 $full\r\n00000004-00000007 0\r\n\r\n1 bytes changed, 1 locations\r\n"
    # A run stopped after 1000 changes leaves its last part never compared.
    head -c 1200 /dev/zero >zeros.bin
    head -c 1200 /dev/zero | tr '\0' '\1' >ones.bin
    run --map 6 --stop-after-1000 zeros.bin ones.bin
    expect_status 1 "--map with --stop-after-1000"
    tail -n 3 out.txt >tail.txt
    expect_file tail.txt "000003E8-000004AF not compared\r\n\r\n1000 bytes changed, 1 locations\r\n"
    run --map 4096 p.bin p.bin
    expect_status 0 "--map of equal files"
    [ "$(grep -c ' 0.$' out.txt)" -eq 16 ] || fail "16 one-byte parts expected: $(head -c 300 out.txt)"
    for parts in 0 4097 x "" 00001; do
        run --map "$parts" p.bin q.bin
        expect_status 2 "--map '$parts'"
        expect_file out.txt ''
    done
    run --map 0001 p.bin q.bin
    expect_status 1 "--map with leading zeros"
    # The report's notes: an offset set to 0 and a cut range above the map, an empty range.
    run --map 1 --offset1 20 --offset2 C p.bin q.bin
    expect_file out.txt "Offset 1 > size of file 1. Offset 1 will be set to 0x0\r\nSize of file 1 > file 2. End of file 1 will be truncated at 0x3\r\n\r\n00000000-00000003 0\r\n\r\n0 bytes changed, 0 locations\r\n"
    run --map 3 --offset1 10 p.bin q.bin
    expect_file out.txt "File 1 has no bytes from offset 0x10. Nothing will be compared\r\n\r\n0 bytes changed, 0 locations\r\n"
    ;;

realign)
    printf 'ABCDEFGHIJ' >r1.bin
    printf 'ABCxyzDEFGHIJ' >r2.bin
    run --realign r1.bin r2.bin
    expect_status 1 "an insertion"
    expect_file out.txt 'File 1: r1.bin (10 bytes, Start offset 0x0)\r\nFile 2: r2.bin (13 bytes, Start offset 0x0, Shift 0x0)\r\nRealigned: where bytes were inserted into or removed from one file, the comparison lines the files up again (shifts up to 0x100000 bytes) and goes on to the end of both\r\n\r\n00000003: 3 bytes only in file 2, at 00000003-00000005 (shift now +0x3)\r\n\r\n0 bytes changed, 0 locations, 1 insertions (3 bytes), 0 removals (0 bytes)\r\n'
    run --realign --runs --shift-window 2 r2.bin r1.bin
    expect_status 1 "a removal beyond the window"
    expect_file out.txt '{"op":"equal","a":[0,3],"b":[0,3]}\n{"op":"replace","a":[3,10],"b":[3,10],"data":"4445464748494a"}\n{"op":"delete","a":[10,13],"b":[10,10]}\n{"op":"summary","changed":7,"locations":1,"insertions":0,"inserted":0,"removals":1,"removed":3}\n'
    run --runs -o runs.txt --realign r1.bin r2.bin
    expect_file runs.txt '{"op":"equal","a":[0,3],"b":[0,3]}\n{"op":"insert","a":[3,3],"b":[3,6],"data":"78797a"}\n{"op":"equal","a":[3,10],"b":[6,13]}\n{"op":"summary","changed":0,"locations":0,"insertions":1,"inserted":3,"removals":0,"removed":0}\n'
    # Without --realign the shorter range sets the length, as in the report.
    run --runs --offset2 1 a.bin b.bin
    expect_status 1 "runs of a plain comparison"
    expect_file out.txt '{"op":"replace","a":[0,7],"b":[1,8],"data":"62634445664748"}\n{"op":"summary","changed":7,"locations":1,"insertions":0,"inserted":0,"removals":0,"removed":0}\n'
    run --realign --runs r1.bin r1.bin
    expect_status 0 "equal files"
    expect_file out.txt '{"op":"equal","a":[0,10],"b":[0,10]}\n{"op":"summary","changed":0,"locations":0,"insertions":0,"inserted":0,"removals":0,"removed":0}\n'
    # shellcheck disable=SC2089,SC2090
    for args in "--runs --map 4 a.bin b.bin:'--runs' and '--map' ask for different outputs: choose one" \
        "--runs --find-shift a.bin b.bin:'--find-shift' writes no report: it takes no report options" \
        "--realign --find-shift a.bin b.bin:'--find-shift' writes no report: it takes no report options" \
        "--runs --by-lines a.bin b.bin:'--runs' writes records, not a report: it takes no '--by-lines', '--with-chars' or '--stop-after-1000'"; do
        # shellcheck disable=SC2086
        run ${args%%:*}
        expect_status 2 "${args%%:*}"
        head -n 1 err.txt >first.txt
        expect_file first.txt "lumatra-report: ${args#*:}\n"
        expect_file out.txt ''
    done
    ;;

write_failures)
    if [ -w /dev/full ]; then
        "$program" a.bin b.bin >/dev/full 2>err.txt
        status=$?
        expect_status 2 "writing to /dev/full"
        grep -q '^lumatra-report: Cannot write the report to standard output: ' err.txt ||
            fail "/dev/full: $(cat err.txt)"
        # The help and the answer of --find-shift tell the reason as a report does.
        for args in --help "--find-shift a.bin b.bin"; do
            # shellcheck disable=SC2086
            "$program" $args >/dev/full 2>err.txt
            status=$?
            expect_status 2 "$args to /dev/full"
            expect_file err.txt 'lumatra-report: cannot write to standard output: No space left on device\n'
        done
    fi
    # A report far larger than a pipe's buffer, into a pipe whose reader is gone.
    head -c 200000 /dev/zero >zeros.bin
    head -c 200000 /dev/zero | tr '\0' '\1' >ones.bin
    "$program" zeros.bin ones.bin 2>err.txt | true
    status=${PIPESTATUS[0]}
    expect_status 2 "writing to a closed pipe"
    grep -q 'Broken pipe' err.txt || fail "closed pipe: $(cat err.txt)"
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac

exit $((failures > 0))
