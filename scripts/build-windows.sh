#!/usr/bin/env bash
# Builds Lumatra for 64-bit Windows on Debian 12 and packs it for users:
#   1. installs what is missing (scripts/windows/install-deps.sh),
#   2. builds Qt for Windows from Debian's qt6-base source, once (scripts/windows/build-qt.sh
#      keeps it in a cache folder outside the repository),
#   3. builds lumatra.exe, lumatra-report.exe and their tests into build-windows/,
#   4. writes dist/lumatra-<version>-windows-x64.zip: both programs, the Qt and compiler DLLs
#      they need, the Windows platform plugin, the README and the licence texts.
# Arguments go to CMake. LUMATRA_WINDOWS_BUILD_DIR chooses the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/windows/install-deps.sh
qt=$(bash scripts/windows/build-qt.sh | tail -n 1)
build=${LUMATRA_WINDOWS_BUILD_DIR:-build-windows}

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine "$@"
cmake --build "$build" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=lumatra-$version-windows-x64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses"
cp "$build/src/app/lumatra.exe" "$build/src/cli/lumatra-report.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# The DLLs the programs and plugins load, and the ones those load, found in Qt's and the
# compiler's folders; the system's own DLLs are not shipped.
dll_folders=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib)
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -ne 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        [ -e "$stage/$dll" ] && continue
        for folder in "${dll_folders[@]}"; do
            if [ -f "$folder/$dll" ]; then
                cp "$folder/$dll" "$stage/"
                pending+=("$stage/$dll")
                break
            fi
        done
    done
done
for dll in Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll libwinpthread-1.dll; do
    [ -f "$stage/$dll" ] || {
        echo "build-windows: $dll was not found for the package" >&2
        exit 1
    }
done
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

# Text files with CR LF, as Windows' own editors expect.
sed 's/$/\r/' README.md >"$stage/README.txt"
cp -r "$qt/licenses" "$stage/licenses/Qt"
mkdir -p "$stage/licenses/mingw-w64" "$stage/licenses/gcc"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64/copyright"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/gcc/copyright"
cat >"$stage/licenses/README.txt" <<TEXT
Lumatra for Windows ships these libraries beside its programs:

- Qt ($(ls "$stage"/Qt6*.dll | xargs -n1 basename | tr '\n' ' ')and the plugins in
  platforms/ and styles/), under the GNU Lesser General Public License version 3
  (Qt/LICENSES/LGPL-3.0-only.txt). How it was built and where its source comes from:
  Qt/SOURCE. You may replace these DLLs with your own build of the same Qt version.
- The GCC runtime (libstdc++-6.dll, libgcc_s_seh-1.dll), under the GNU General Public License
  version 3 with the GCC Runtime Library Exception (gcc/copyright); its source is Debian's
  gcc-mingw-w64 package.
- The mingw-w64 POSIX threads library (libwinpthread-1.dll), under the licences in
  mingw-w64/copyright; its source is Debian's mingw-w64 package.
TEXT
find "$stage/licenses" -type f -exec sed -i 's/\r\?$/\r/' {} +

mkdir -p dist
rm -f "dist/$name.zip"
(cd "$build/package" && zip -qr9 "$OLDPWD/dist/$name.zip" "$name")
echo "build-windows: dist/$name.zip ($(du -h "dist/$name.zip" | cut -f1))"
