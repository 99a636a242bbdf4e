#!/usr/bin/env bash
# Builds the Debian package in its own build folder and checks what it holds and what it
# depends on. It does not install the package.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LUMATRA_PACKAGE_BUILD_DIR:-build-package}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUMATRA_GUI=ON -DLUMATRA_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/lumatra_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/lumatra_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "package-check: expected one lumatra_*.deb in $build, found: ${debs[*]}" >&2
    exit 1
fi
deb=${debs[0]}

echo "== $deb: control =="
dpkg-deb -I "$deb"
echo "== $deb: contents =="
contents=$(dpkg-deb -c "$deb")
echo "$contents"

failures=0
fail() {
    echo "package-check: $*" >&2
    failures=$((failures + 1))
}

# Path of each entry (the sixth column), without the leading "./".
paths=$(awk '{ sub(/^\.\//, "", $6); print $6 }' <<<"$contents")
for path in usr/share/applications/lumatra.desktop \
    usr/share/icons/hicolor/32x32/apps/lumatra.png \
    usr/share/icons/hicolor/scalable/apps/lumatra.svg \
    usr/share/man/man1/lumatra-report.1.gz; do
    grep -qxF "$path" <<<"$paths" || fail "the package lacks /$path"
done
for program in lumatra lumatra-report; do
    grep -qE "^-rwxr-xr-x .* \./usr/bin/$program\$" <<<"$contents" ||
        fail "the package lacks /usr/bin/$program as an executable file of mode 0755"
done

# Depends lists "name (>= version)" entries; compare the bare names.
depends=$(dpkg-deb -f "$deb" Depends | sed -E 's/[,|]/\n/g' | sed -E 's/^ *//; s/[ (].*//')
for package in libqt6widgets6 fonts-liberation; do
    grep -qxF "$package" <<<"$depends" || fail "Depends does not name $package"
done

# The command line must run from the package and carry the package's version.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
version=$(dpkg-deb -f "$deb" Version)
if [ -x "$unpacked/usr/bin/lumatra-report" ]; then
    reported=$("$unpacked/usr/bin/lumatra-report" --version | head -n 1) ||
        fail "lumatra-report --version failed"
    [[ "$reported " == *" $version"[,\ ]* ]] ||
        fail "lumatra-report --version says '$reported', the package is version $version"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$unpacked/usr/share/applications/lumatra.desktop" ||
        fail "the desktop entry does not validate"
fi

if [ "$failures" -ne 0 ]; then
    echo "package-check: $failures problem(s) in $deb" >&2
    exit 1
fi
echo "package-check: $deb holds both programs, the desktop entry, icons and manual page"
