# What the lumatra-report test scripts share, sourced by a script run as SCRIPT PROGRAM CASE:
# program and case_name from its arguments, a fresh work folder as the current folder,
# removed at exit even where a case made it read-only, and the failure count that the
# script's exit status reports.
set -u
program=$1
case_name=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect_status STATUS WHAT: the last run ended with STATUS.
expect_status() {
    [ "$status" -eq "$1" ] || fail "$2: exit status $status, expected $1 ($(head -c 300 err.txt))"
}

# expect_file FILE TEXT: the file holds exactly TEXT (printf escapes allowed).
expect_file() {
    # shellcheck disable=SC2059
    printf "$2" >expected.txt
    cmp -s "$1" expected.txt || fail "$1 differs: $(od -c "$1" | head -8)"
}
