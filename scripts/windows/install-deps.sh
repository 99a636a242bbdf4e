#!/usr/bin/env bash
# Installs what building Lumatra for Windows and testing it under wine need, and only what is
# missing: Debian's mingw-w64 compilers with POSIX threads (std::thread and std::mutex need
# them), wine to run the programs, ninja and the host Qt tools for the Qt build, zip for the
# package. Qt for Windows is built from Debian's own qt6-base source, so a deb-src entry for
# this machine's Debian source list is added when there is none.
set -euo pipefail

packages=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-x86-64-dev
    wine wine64
    ninja-build cmake qt6-base-dev qt6-base-dev-tools
    dpkg-dev zip unzip xvfb xauth fonts-liberation
)

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
updated=0
update() {
    [ "$updated" -eq 1 ] || "${sudo[@]}" apt-get update -qq
    updated=1
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    update
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Source packages: a deb-src twin of the first deb822 source list that has none.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    list=/etc/apt/sources.list.d/debian.sources
    if [ -f "$list" ]; then
        echo "Adding deb-src entries beside $list"
        sed -E 's/^Types:.*/Types: deb-src/' "$list" |
            "${sudo[@]}" tee /etc/apt/sources.list.d/lumatra-deb-src.sources >/dev/null
    elif [ -f /etc/apt/sources.list ]; then
        echo "Adding deb-src lines beside /etc/apt/sources.list"
        sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list |
            "${sudo[@]}" tee /etc/apt/sources.list.d/lumatra-deb-src.list >/dev/null
    else
        echo "install-deps: no Debian source list to add deb-src entries to" >&2
        exit 1
    fi
    updated=0
    update
fi
