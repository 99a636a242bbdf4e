#!/usr/bin/env bash
# Builds Qt's base modules (Core, Gui, Widgets, Test and the Windows platform plugin) for
# 64-bit Windows from Debian's qt6-base source, once, and keeps the result in a cache folder
# outside the repository. The folder's name holds the Qt version and a hash of the configure
# options, the patch, the toolchain file, the compiler version and the recipe number below,
# so a change to any of them builds anew, and CI on the same machine reuses it. The last line
# printed is the folder.
#
# LUMATRA_CACHE_DIR chooses where the cache lives (/var/cache/lumatra, or ~/.cache/lumatra
# when that is not writable); LUMATRA_QT_JOBS the number of compile jobs (all cores).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

cache=${LUMATRA_CACHE_DIR:-/var/cache/lumatra}
if ! mkdir -p "$cache" 2>/dev/null || [ ! -w "$cache" ]; then
    cache=${XDG_CACHE_HOME:-$HOME/.cache}/lumatra
    mkdir -p "$cache"
fi
jobs=${LUMATRA_QT_JOBS:-$(nproc)}

# Raise when a change to the steps below should build anew; comments do not.
recipe=2
# Only what the window and the tests use is built. OpenGL is turned off as configure's
# -no-opengl does: FEATURE_opengl alone leaves dynamic OpenGL on, and the platform plugin then
# fails to compile.
options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DFEATURE_pkg_config=OFF
    -DINPUT_opengl=no -DFEATURE_dbus=OFF -DFEATURE_icu=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_zstd=OFF -DFEATURE_androiddeployqt=OFF
    # Debian's source leaves out the Windows tablet code.
    -DFEATURE_tabletevent=OFF
)
patches=("$here"/qt-*.patch)
toolchain=$here/mingw-w64-x86_64.cmake

# The source package's version as apt offers it, e.g. 6.4.2+dfsg-10.
version=$(apt-cache showsrc qt6-base 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
if [ -z "$version" ]; then
    echo "build-qt: apt knows no qt6-base source package (no deb-src entry?)" >&2
    exit 1
fi
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
key=$({
    printf '%s\n' "$recipe" "$version" "$compiler" "${options[@]}"
    cat "${patches[@]}" "$toolchain"
} | sha256sum | cut -c1-12)
prefix=$cache/qt-windows-${version%%+*}-$key

exec 9>"$cache/qt-windows.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
    echo "Qt for Windows: cached in $prefix" >&2
    echo "$prefix"
    exit 0
fi

echo "Qt for Windows: building $version into $prefix (about 16 minutes on 2 cores)" >&2
rm -rf "$prefix"
work=$(mktemp -d "$cache/qt-windows-work.XXXXXX")
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq qt6-base="$version" >/dev/null 2>&1) || {
    echo "build-qt: apt-get source qt6-base=$version failed" >&2
    exit 1
}
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
for p in "${patches[@]}"; do
    patch -d "$src" -p1 --quiet <"$p"
done
mkdir -p "$prefix"
# Qt's own toolchain file chain-loads this one; a copy keeps the cache independent of the
# checkout it came from.
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    exit 1
}
cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
}
cmake --install "$work/build" >/dev/null
# What the Windows package ships beside the libraries: Qt's licence texts and where the
# source came from.
mkdir -p "$prefix/licenses"
cp -r "$src/LICENSES/." "$prefix/licenses/"
cp "$src/debian/copyright" "$prefix/licenses/debian-copyright"
cat >"$prefix/licenses/SOURCE" <<SOURCE
Qt $version for Windows was built from Debian's qt6-base source package, version $version,
available from https://deb.debian.org/debian/pool/main/q/qt6-base/ and with
"apt-get source qt6-base=$version" on Debian 12, and from https://download.qt.io/.
The changes made to it for this build:
$(cat "${patches[@]}")
Configure options: ${options[*]}
SOURCE
touch "$prefix/.complete"
echo "$prefix"
