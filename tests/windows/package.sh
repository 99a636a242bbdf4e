#!/usr/bin/env bash
# The Windows package as a user gets it: unpacked into a folder of its own and run under wine
# in a fresh prefix with no DLL in reach but the package's own. lumatra-report.exe must write what the Linux
# build writes (LINUX_PROGRAM; "-" when there is none, and then it must only run); lumatra.exe must start and stay up (a missing DLL or plugin ends it at once);
# the window's smoke test, run from inside the package with Qt's test library beside it,
# compares two files there. Run as:
#     package.sh ZIP LINUX_PROGRAM SMOKE_TEST QT_TEST_DLL
set -u
zip=$1
linux=$2
smoke=$3
qt_test_dll=$4
work=$(mktemp -d)
export WINEPREFIX=$work/wine
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

unzip -q "$zip" -d "$work" || exit 2
package=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'lumatra-*' | head -n 1)
[ -n "$package" ] || {
    echo "package.sh: $zip holds no lumatra-* folder" >&2
    exit 2
}
unset WINEPATH QT_PLUGIN_PATH
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1

cd "$work" || exit 2
printf 'ABCDEFGH' >a.bin
printf 'AbcDEfGH' >b.bin
wine "$package/lumatra-report.exe" --by-lines --with-chars a.bin b.bin >windows.out 2>&1
status=$?
if [ "$linux" = - ]; then
    [ "$status" -eq 1 ] || fail "the packaged lumatra-report.exe ended with $status: $(head -c 300 windows.out)"
else
    LC_ALL=C "$linux" --by-lines --with-chars a.bin b.bin >linux.out 2>&1
    cmp -s linux.out windows.out || fail "the packaged lumatra-report.exe wrote: $(head -c 300 windows.out)"
fi

wine "$package/lumatra.exe" >window.log 2>&1 &
window=$!
sleep 8
if kill -0 "$window" 2>/dev/null; then
    kill "$window"
    wait "$window" 2>/dev/null
else
    wait "$window"
    fail "the packaged lumatra.exe ended at once with status $?: $(head -c 300 window.log)"
fi

cp "$smoke" "$qt_test_dll" "$package/"
wine "$package/$(basename "$smoke")" "$work/package-window.png" ||
    fail "the window's smoke test failed inside the package"
[ -z "${LUMATRA_PACKAGE_PICTURE:-}" ] || cp "$work/package-window.png" "$LUMATRA_PACKAGE_PICTURE"

[ "$failures" -eq 0 ] && echo "package.sh: $(basename "$zip") runs on its own DLLs"
exit $((failures > 0))
