#!/usr/bin/env bash
# Builds the three builds: native (core and tests, ASan/UBSan), x86_64 Windows
# (program and tests for Wine) and i686 Windows (the shipped program); and the
# fuzz targets with clang. Usage: scripts/build.sh [native|win64|win32|fuzz]...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(native win64 win32 fuzz)

configure() {  # dir, extra cmake arguments...
    local dir=$1; shift
    if [ ! -f "$root/build/$dir/build.ninja" ]; then
        cmake -S "$root" -B "$root/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
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
