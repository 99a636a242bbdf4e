#!/usr/bin/env bash
# Runs the Windows build's tests under wine: the engine and reliability tests, lumatra-report's
# test scripts, its Windows cases and, given the Linux build's lumatra-report, a byte-for-byte
# comparison of both builds' output, and the window on a virtual display, which leaves its
# picture in BUILD_DIR/window.png. Everything runs in a throw-away wine prefix (so the
# registry the settings live in is throw-away too) with one wine server kept running across
# the tests: starting one for every program costs seconds each. Then the package that
# scripts/build-windows.sh wrote from that build is unpacked and run on its own DLLs in a
# fresh prefix (its window's picture: BUILD_DIR/package.png); not when ctest arguments
# choose some tests only.
#     bash scripts/windows/test.sh [BUILD_DIR [QT_PREFIX [CTEST_ARGUMENT...]]]
set -euo pipefail
cd "$(dirname "$0")/../.."
# The window's smoke test needs a display: a virtual one when there is none.
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
build=$(cd "${1:-${LUMATRA_WINDOWS_BUILD_DIR:-build-windows}}" && pwd)
qt=${2:-$(bash scripts/windows/build-qt.sh | tail -n 1)}

prefix=$(mktemp -d)
export WINEPREFIX=$prefix/wine WINEARCH=win64 WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
# The DLLs of Qt and of the compiler, for programs run from the build folder.
export WINEPATH="$qt/bin;$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix | head -n 1);/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH=$qt/plugins
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
# Wine's own processes inherit what they are started with: nothing of this script's output.
wineserver -p </dev/null >/dev/null 2>&1
wineboot -i </dev/null >/dev/null 2>&1

ctest --test-dir "$build" --output-on-failure --timeout 900 -j"$(nproc)" "${@:3}"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
linux=$(sed -n 's/^LUMATRA_LINUX_REPORT:FILEPATH=//p' "$build/CMakeCache.txt")
zip=dist/lumatra-$version-windows-x64.zip
if [ $# -le 2 ]; then
    [ -f "$zip" ] || {
        echo "test.sh: $zip is missing: scripts/build-windows.sh writes it" >&2
        exit 1
    }
    LUMATRA_PACKAGE_PICTURE=$build/package.png bash tests/windows/package.sh "$zip" \
        "${linux:--}" "$build/tests/windows/lumatra_windowsmoke.exe" "$qt/bin/Qt6Test.dll"
fi
