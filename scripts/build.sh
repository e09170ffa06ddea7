#!/usr/bin/env bash
# Builds the three builds: native (core and tests, ASan/UBSan), x86_64 Windows
# (program and tests for Wine) and i686 Windows (the shipped program); and the
# fuzz targets with clang. Usage: scripts/build.sh [native|win64|win32|fuzz]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native win64 win32 fuzz)

# A compiler cache, where the machine has one, makes rebuilds in a second
# checkout of the same sources cheap; CI starts without one and builds plainly.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=1
fi

configure() {  # dir, extra cmake arguments...
    local dir=$1; shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            "${launcher[@]}" "$@" >/dev/null
    fi
    cmake --build "$root/build/$dir" -j "$jobs"
}

for t in "${targets[@]}"; do
    case $t in
        native) configure native ;;
        win64) configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" ;;
        win32) configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DRAVLEN_TESTS=OFF ;;
        fuzz) configure fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DRAVLEN_FUZZ=ON ;;
        *) echo "unknown build $t" >&2; exit 2 ;;
    esac
done
