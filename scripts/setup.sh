#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine (as root).
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine64 xvfb x11-utils xdotool imagemagick
    cups cups-client cups-bsd ghostscript
    python3 locales
    enscript a2ps groff psutils
    fonts-dejavu-core
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
