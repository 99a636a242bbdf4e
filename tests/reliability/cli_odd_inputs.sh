#!/bin/bash
# lumatra-report on odd inputs: special files, links, awkward names, edge offsets and sizes,
# a file that changes during the run. cli_odd_inputs.sh PROGRAM CASE
# shellcheck source=../cli/testlib.sh
. "$(dirname "$0")/../cli/testlib.sh"

# run ARGS...: runs the program with a time limit (nothing may wait for a writer), keeping
# stdout, stderr and the exit status.
run() {
    timeout 20 "$program" "$@" >out.txt 2>err.txt
    status=$?
    [ "$status" -ne 124 ] || fail "$*: still running after 20 s"
}

# expect_refused FILE1 FILE2 MESSAGE: the request is refused before anything is written.
expect_refused() {
    run -- "$1" "$2"
    expect_status 2 "$1 $2"
    expect_file err.txt "$3\n"
    expect_file out.txt ''
}

printf 'ABCDEFGH' >a.bin
printf 'AbcDEfGH' >b.bin
body='\r\n00000001: 42 62\r\n00000002: 43 63\r\n00000005: 46 66\r\n\r\n3 bytes changed, 2 locations\r\n'
# expect_example NAME1 NAME2: out.txt is the example report under these names.
expect_example() {
    expect_status 1 "$1 $2"
    expect_file out.txt "File 1: $1 (8 bytes, Start offset 0x0)\r\nFile 2: $2 (8 bytes, Start offset 0x0, Shift 0x0)\r\n$body"
}

# holds_open PID FILE: the process has FILE of the work folder open.
holds_open() {
    local fd
    for fd in "/proc/$1/fd/"*; do
        [ "$(readlink "$fd")" = "$work/$2" ] && return 0
    done
    return 1
}

# run_and_change FILE CHANGE ARGS...: runs the program and runs the command line CHANGE as
# soon as the program holds FILE open; a run that never notices is ended after 120 s.
run_and_change() {
    local file=$1 change=$2
    shift 2
    timeout 120 "$program" "$@" >out.txt 2>err.txt &
    local limiter=$!
    for _ in $(seq 1 1000); do
        holds_open "$(pgrep -P "$limiter")" "$file" && break
        sleep 0.01
    done
    eval "$change"
    wait "$limiter"
    status=$?
}

# run_and_cut FILE SIZE ARGS...: as run_and_change, cutting FILE to SIZE.
run_and_cut() {
    local file=$1 size=$2
    shift 2
    run_and_change "$file" "truncate -s $size $file" "$@"
}

# skip_unless_sparse FILE: ends the case as skipped where FILE, just made large by truncate,
# takes real disk blocks.
skip_unless_sparse() {
    if [ "$(stat -c %b "$1")" -gt 1000 ]; then
        echo "no sparse files here: skipped"
        exit 0
    fi
}

case $case_name in
special_files)
    mkfifo pipe
    mkdir folder
    expect_refused pipe b.bin "File 1 doesn't exist!"
    expect_refused a.bin pipe "File 2 doesn't exist!"
    expect_refused /dev/zero b.bin "File 1 doesn't exist!"
    expect_refused a.bin /dev/null "File 2 doesn't exist!"
    expect_refused /dev/null /dev/zero "File 1 doesn't exist!"
    expect_refused a.bin folder "File 2 doesn't exist!"
    # The same file twice is an ordinary request.
    run a.bin a.bin
    expect_status 0 "a file with itself"
    ;;

links)
    mkdir folder
    ln -s a.bin link-to-a
    ln -s folder link-to-folder
    ln -s missing.bin dangling
    ln -s loop loop
    run link-to-a b.bin
    expect_example link-to-a b.bin
    expect_refused link-to-folder b.bin "File 1 doesn't exist!"
    expect_refused a.bin dangling "File 2 doesn't exist!"
    expect_refused loop b.bin "File 1 doesn't exist!"
    ;;

names)
    for name in 'with blanks.bin' ' leading blank' 'Überprüfung é 日本.bin' '-dash.bin' \
        '--offset1' "quote'and\"dollar\$x.bin"; do
        cp -- a.bin "$name"
        run -- "$name" b.bin
        expect_example "$name" b.bin
    done
    # Names that would break a line, forge one or steer a terminal are shown escaped, in
    # the header and in messages alike; a backslash only where it would read as an escape.
    for pair in $'line\nfeed.bin|line\\nfeed.bin' $'\e[2Jclear\r.bin|\\x1B[2Jclear\\r.bin' \
        $'latin1 \xe9.bin|latin1 \\xE9.bin' 'back\slash\n.bin|back\slash\\n.bin'; do
        cp -- a.bin "${pair%%|*}"
        run -- "${pair%%|*}" b.bin
        expect_status 1 "${pair#*|}"
        printf 'File 1: %s (8 bytes, Start offset 0x0)\r\n' "${pair#*|}" >expected.txt
        head -n 1 out.txt | cmp -s - expected.txt || fail "header: $(head -n 1 out.txt | od -c)"
    done
    run -o $'\e[2J/report.txt' a.bin b.bin
    expect_file err.txt 'lumatra-report: Cannot write the report to \\x1B[2J/report.txt: No such file or directory\n'
    # Without --, a leading dash is an option, not a file.
    run -dash.bin b.bin
    expect_status 2 "-dash.bin without --"
    expect_file out.txt ''
    ;;

long_path)
    # Nested folders up to a relative path just under PATH_MAX (4096 with its NUL).
    segment=$(printf 'd%.0s' $(seq 1 250))
    path=.
    while [ ${#path} -lt 3800 ]; do
        path=$path/$segment
    done
    mkdir -p "$path"
    tail_name=$(printf 'f%.0s' $(seq 1 $((4090 - ${#path} - 1))))
    cp a.bin "$path/$tail_name"
    long=$path/$tail_name
    [ ${#long} -eq 4090 ] || fail "path of ${#long} characters"
    run "$long" b.bin
    expect_example "$long" b.bin
    # Past PATH_MAX the file cannot be named: refused, not crashed.
    expect_refused "$path/../$segment/$tail_name" b.bin "File 1 doesn't exist!"
    ;;

offsets_and_sizes)
    head -c 17 /dev/zero | tr '\0' 'Q' >17.bin
    head -c 16 /dev/zero | tr '\0' 'q' >16.bin
    head -c 15 /dev/zero | tr '\0' 'Q' >15.bin
    printf 'x' >1.bin
    : >0.bin
    # FFFFFFFF, in either case, lies past both ends: both offsets restart at 0.
    run --offset1 FFFFFFFF --offset2 ffffffff --by-lines 17.bin 16.bin
    expect_status 1 "FFFFFFFF"
    expect_file out.txt 'File 1: 17.bin (17 bytes, Start offset 0xFFFFFFFF)\r\nFile 2: 16.bin (16 bytes, Start offset 0xFFFFFFFF, Shift 0x0)\r\nOffset 1 > size of file 1. Offset 1 will be set to 0x0\r\nOffset 2 > size of file 2. Offset 2 will be set to 0x0\r\nSize of file 1 > file 2. End of file 1 will be truncated at 0xF\r\n\r\n00000000: 51 51 51 51 51 51 51 51 51 51 51 51 51 51 51 51\r\n          71 71 71 71 71 71 71 71 71 71 71 71 71 71 71 71\r\n\r\n16 bytes changed, 1 locations\r\n'
    # One past the length restarts; equal to the length leaves nothing to compare.
    run --offset1 11 --offset2 F 16.bin 15.bin
    expect_status 0 "offset 2 equal to the length"
    expect_file out.txt 'File 1: 16.bin (16 bytes, Start offset 0x11)\r\nFile 2: 15.bin (15 bytes, Start offset 0xF, Shift 0x2)\r\nOffset 1 > size of file 1. Offset 1 will be set to 0x0\r\nFile 2 has no bytes from offset 0xF. Nothing will be compared\r\n\r\n\r\n0 bytes changed, 0 locations\r\n'
    run --offset1 1 --offset2 0 1.bin 0.bin
    expect_status 0 "two empty ranges"
    expect_file out.txt 'File 1: 1.bin (1 bytes, Start offset 0x1)\r\nFile 2: 0.bin (0 bytes, Start offset 0x0, Shift 0x1)\r\nNeither file has bytes from its start offset. Nothing will be compared\r\n\r\n\r\n0 bytes changed, 0 locations\r\n'
    run --offset2 E --with-chars 1.bin 16.bin
    expect_status 1 "one byte against the last two"
    expect_file out.txt 'File 1: 1.bin (1 bytes, Start offset 0x0)\r\nFile 2: 16.bin (16 bytes, Start offset 0xE, Shift 0xE)\r\nSize of file 2 > file 1. End of file 2 will be truncated at 0x0\r\n\r\n00000000: 78 71  x q\r\n\r\n1 bytes changed, 1 locations\r\n'
    ;;

past_4_gib)
    # Sparse files a little over 4 GiB; FFFFFFF0 lies inside them, so the 48 bytes from
    # there are compared and the difference is labelled with nine digits.
    truncate -s 4294967344 big1.bin big2.bin
    skip_unless_sparse big1.bin
    printf '\x7F' | dd of=big2.bin bs=1 seek=4294967301 conv=notrunc status=none
    run --offset1 FFFFFFF0 --offset2 FFFFFFF0 big1.bin big2.bin
    expect_status 1 "past 4 GiB"
    expect_file out.txt 'File 1: big1.bin (4294967344 bytes, Start offset 0xFFFFFFF0)\r\nFile 2: big2.bin (4294967344 bytes, Start offset 0xFFFFFFF0, Shift 0x0)\r\n\r\n100000005: 00 7F\r\n\r\n1 bytes changed, 1 locations\r\n'
    ;;

kernel_files)
    # They report a size of 0 or a page; what reading gives is compared, and shown.
    [ -r /proc/version ] || { echo "no /proc here: skipped"; exit 0; }
    run /proc/cpuinfo /proc/version
    expect_status 1 "/proc/cpuinfo /proc/version"
    run /proc/version /proc/sys/kernel/ostype
    expect_status 1 "/proc/version /proc/sys/kernel/ostype"
    head -n 1 out.txt | grep -qF "($(wc -c </proc/version) bytes," ||
        fail "not the length reading gives: $(head -n 1 out.txt)"
    if [ -r /sys/power/state ]; then
        run /sys/power/state /sys/power/state
        expect_status 0 "/sys/power/state twice"
    fi
    ;;

changed_during_run)
    # Two sparse 64 GiB files take far longer to read than the test needs: file 2 is cut
    # as soon as the program holds it open.
    truncate -s 64G big1.bin big2.bin
    skip_unless_sparse big1.bin
    printf 'old report' >report.txt
    run_and_cut big2.bin 1M -o report.txt big1.bin big2.bin
    expect_status 2 "file 2 cut during the run"
    expect_file err.txt 'lumatra-report: File 2 (big2.bin) got shorter during the comparison\n'
    expect_file report.txt 'old report'
    compgen -G 'report.txt?*' >/dev/null && fail "temporary files left: $(ls)"
    # Written in place, as a file with a second name is, it is emptied by the first write only.
    ln report.txt second-name.txt
    truncate -s 64G big2.bin
    run_and_cut big2.bin 1M -o report.txt big1.bin big2.bin
    expect_status 2 "file 2 cut during a run written in place"
    expect_file report.txt 'old report'

    # To standard output, the lines written so far stay, but no summary claims an end.
    truncate -s 64G big2.bin
    run_and_cut big1.bin 100 big1.bin big2.bin
    expect_status 2 "file 1 cut during the run"
    grep -q 'File 1 (big1.bin)' err.txt || fail "no message naming file 1: $(cat err.txt)"
    grep -q 'locations.$' out.txt && fail "a summary after a failed run"
    tail -n 1 out.txt | grep -q $'^Comparison stopped at 0x[0-9A-F]*: 0 bytes changed, 0 locations before it\.\r$' ||
        fail "no note of where the run stopped: $(tail -n 1 out.txt)"
    # The map of a run cut short: the parts never reached, then the same note.
    truncate -s 64G big1.bin
    run_and_cut big1.bin 100 --map 4 big1.bin big2.bin
    expect_status 2 "--map, file 1 cut during the run"
    grep -c 'not compared.$' out.txt | grep -q '^[1-4]$' || fail "--map: $(cat out.txt)"
    tail -n 1 out.txt | grep -q $'^Comparison stopped at 0x[0-9A-F]*: 0 bytes changed, 0 locations before it\.\r$' ||
        fail "--map: no note of where the run stopped: $(tail -n 1 out.txt)"

    # Rewritten in place at the same size: its times tell (it was last written an hour ago).
    # The times are checked when the run ends: a short pair keeps the test short.
    truncate -s 0 big1.bin big2.bin
    truncate -s 512M big1.bin big2.bin
    touch -d '1 hour ago' big2.bin
    run_and_change big2.bin 'printf x | dd of=big2.bin bs=1 seek=1 conv=notrunc status=none' \
        big1.bin big2.bin
    expect_status 2 "file 2 rewritten during the run"
    expect_file err.txt 'lumatra-report: File 2 (big2.bin) changed during the comparison\n'
    # Read to its end, the report keeps its summary, and says that the file changed.
    tail -n 2 out.txt >tail.txt
    grep -q $'^[01] bytes changed, [01] locations\r$' tail.txt &&
        tail -n 1 tail.txt | grep -qF 'Warning: File 2 (big2.bin) changed during the comparison; ' ||
        fail "no summary and warning: $(cat tail.txt)"
    ;;

interrupted_run)
    # A file size limit is said as such, and leaves the old report and no temporary file.
    printf 'old report' >report.txt
    head -c 300000 /dev/zero >zeros.bin
    head -c 300000 /dev/zero | tr '\0' '\1' >ones.bin
    (ulimit -f 100 && run -o report.txt zeros.bin ones.bin && exit "$status")
    status=$?
    expect_status 2 "past the file size limit"
    expect_file err.txt 'lumatra-report: Cannot write the report to report.txt: File size limit exceeded\n'
    expect_file report.txt 'old report'
    compgen -G 'report.txt?*' >/dev/null && fail "file size limit: temporary files left: $(ls)"

    # A signal that ends the program during a long run removes the temporary file, leaves the
    # old report and ends it as the signal does (128 + its number).
    truncate -s 64G big1.bin big2.bin
    skip_unless_sparse big1.bin
    for signal in INT TERM HUP QUIT USR1 USR2 ALRM XCPU XFSZ VTALRM PROF PWR; do
        # Background jobs of a script start with SIGINT and SIGQUIT ignored; this one must not.
        env --default-signal "$program" -o report.txt big1.bin big2.bin >out.txt 2>err.txt &
        pid=$!
        for _ in $(seq 1 1000); do
            compgen -G 'report.txt.lumatra-report-??????' >/dev/null && break
            sleep 0.01
        done
        kill -s $signal $pid
        for _ in $(seq 1 1000); do
            kill -0 $pid 2>/dev/null || break
            sleep 0.01
        done
        kill -s KILL $pid 2>/dev/null && fail "SIG$signal: still running after 10 s"
        wait $pid
        status=$?
        expect_status $((128 + $(kill -l $signal))) "SIG$signal"
        expect_file report.txt 'old report'
        compgen -G 'report.txt?*' >/dev/null && fail "SIG$signal: temporary files left: $(ls)"
    done
    # Ignored at start, a signal stays ignored.
    env --ignore-signal=USR1 "$program" -o report.txt big1.bin big2.bin >out.txt 2>err.txt &
    pid=$!
    sleep 0.2
    kill -s USR1 $pid
    sleep 0.2
    kill -s TERM $pid || fail "ended by an ignored SIGUSR1"
    wait $pid
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac

exit $((failures > 0))
