#!/bin/bash
# End-to-end checks of lumatra-report's context queries: context_test.sh PROGRAM CASE
# shellcheck source=testlib.sh
. "$(dirname "$0")/testlib.sh"

run() {
    "$program" "$@" >out.txt 2>err.txt
    status=$?
}

printf 'ABCDEFGHIJKLMNOPQRSTUVWXYZ' >a.txt
printf 'ABCDEFGHIJKLMNOPQRSTUVWxYZ' >b.txt
# b.txt with two bytes put in front: lined up with a.txt by --offset2 2.
printf '..ABCDEFGHIJKLMNOPQRSTUVWxYZ' >c.txt

case $case_name in
rows)
    heading="File 1$(printf '%72s')File 2\r\n"
    row1="00000000  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP   "
    row1b="00000000  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP\r\n"
    row2="00000010  51 52 53 54 55 56 57*58 59 5A                    QRSTUVWXYZ         "
    row2b="00000010  51 52 53 54 55 56 57*78 59 5A                    QRSTUVWxYZ\r\n"
    run --context 19 a.txt b.txt
    expect_status 1 "a differing byte among the rows"
    expect_file out.txt "$heading$row1$row1b$row2$row2b"
    run --context 0 --rows 1 a.txt b.txt
    expect_status 0 "the rows shown agree"
    expect_file out.txt "$heading$row1$row1b"
    # Lined up through the offsets: file 2's rows are labelled with its own positions.
    run --context=19 --rows=1 --offset2 2 a.txt c.txt
    expect_status 1 "shifted"
    grep -q "^00000010  51.*   00000012  51 .*\*78 59 5A  .*QRSTUVWxYZ"$'\r'"\$" out.txt || fail "shifted: $(cat out.txt)"
    ;;

search)
    for args in "--next-difference 0 a.txt b.txt:0:17" "--next-difference 17 a.txt b.txt:0:17" \
        "--next-difference 18 a.txt b.txt:1:" "--previous-difference 19 a.txt b.txt:0:17" \
        "--previous-difference 16 a.txt b.txt:1:" "--next-difference 0 --offset2 2 a.txt c.txt:0:17" \
        "--next-difference 0 a.txt c.txt:0:0" "--previous-difference 19 --offset1 2 c.txt a.txt:0:19"; do
        IFS=: read -r command expected found <<<"$args"
        # shellcheck disable=SC2086
        run $command
        expect_status "$expected" "$command"
        if [ -n "$found" ]; then expect_file out.txt "$found\n"; else expect_file out.txt ''; fi
    done
    ;;

trouble)
    # The quotes stand in the expected messages, never in the arguments.
    for args in "--context 1A missing.txt b.txt:File 1 doesn't exist!" \
        "--context 1G a.txt b.txt:lumatra-report: position '1G' is not a hexadecimal number" \
        "--context '' a.txt b.txt:lumatra-report: position '' is not a hexadecimal number" \
        "--context 1A a.txt b.txt:lumatra-report: Position 0x1A lies past the end of file 1, whose last byte is at 0x19." \
        "--next-difference 20000000000 a.txt b.txt:lumatra-report: Position 0x20000000000 lies past the end of file 1, whose last byte is at 0x19." \
        "--context 0 --rows 0 a.txt b.txt:lumatra-report: the context needs a number of rows from 1 to 4096, not '0'" \
        "--context 0 --rows 4097 a.txt b.txt:lumatra-report: the context needs a number of rows from 1 to 4096, not '4097'" \
        "--rows 4 a.txt b.txt:lumatra-report: option '--rows' goes only with '--context'" \
        "--context 0 --next-difference 0 a.txt b.txt:lumatra-report: '--context', '--next-difference' and '--previous-difference' go one at a time" \
        "--context 0 --map 4 a.txt b.txt:lumatra-report: '--context', '--next-difference' and '--previous-difference' write no report: they take no report options" \
        "--next-difference 0 --find-shift a.txt b.txt:lumatra-report: '--context', '--next-difference' and '--previous-difference' write no report: they take no report options" \
        "--previous-difference 0 --realign a.txt b.txt:lumatra-report: '--context', '--next-difference' and '--previous-difference' line the files up by the offsets alone: they take no '--realign'"; do
        eval "set -- ${args%%:*}"
        run "$@"
        expect_status 2 "${args%%:*}"
        head -n 1 err.txt >first.txt
        expect_file first.txt "${args#*:}\n"
        expect_file out.txt ''
    done
    : >empty.txt
    run --context 0 empty.txt empty.txt
    expect_status 0 "two empty files"
    ;;

past_4gib)
    # Sparse files of 4 GiB and more: labels of nine digits, and searches that find what lies
    # past 4 GiB from either side without reading the files from their start.
    truncate -s 4G a.big b.big
    printf 'end' >>a.big
    printf 'enD' >>b.big
    run --context 100000001 --rows 2 a.big b.big
    expect_status 1 "the last rows"
    zeros="$(printf ' 00%.0s' $(seq 16))  ................"
    expect_file out.txt "File 1$(printf '%73s')File 2\r\n0FFFFFFF0 $zeros   0FFFFFFF0 $zeros\r\n100000000  65 6E*64$(printf '%41s')end$(printf '%16s')100000000  65 6E*44$(printf '%41s')enD\r\n"
    run --next-difference FFFFFF00 a.big b.big
    expect_status 0 "forward past 4 GiB"
    expect_file out.txt "100000002\n"
    run --previous-difference 100000002 a.big b.big
    expect_status 0 "at the position itself"
    expect_file out.txt "100000002\n"
    ;;

*)
    fail "no case $case_name"
    ;;
esac
exit $((failures > 0))
