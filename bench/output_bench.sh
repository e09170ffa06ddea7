#!/usr/bin/env bash
# Speed and memory of a raw job through ravlen.exe under Wine against lp -o raw
# (see output_bench.py). Uses the x86_64 Windows build given as E2E_BUILD
# (default: build/win64), building ravlen.exe and winauto.exe there first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${E2E_BUILD:-$root/build/win64}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$build" -j2 --target ravlen winauto winauto_hook >/dev/null
E2E_BUILD="$build" exec python3 "$root/bench/output_bench.py"
