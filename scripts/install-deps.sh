#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Lumatra need,
# and only those that are missing.
set -euo pipefail

packages=(
    # building and testing; ccache only speeds up rebuilds
    build-essential cmake ccache pkg-config libgtest-dev time
    # the command line's tests of ACLs and extended attributes on its output
    acl attr
    # the window (Qt 6 Widgets) and a metric-compatible "Courier New" for the result pane
    qt6-base-dev libgl-dev fonts-liberation
    # a display for screenshots and for machines without one
    xvfb xauth
    # the fuzzer and the leak checker
    clang-14 libclang-rt-14-dev
    # the Debian package
    dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
