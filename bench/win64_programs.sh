# Sourced by the Wine benchmarks: makes sure ravlen.exe and the automation
# programs are built in the x86_64 Windows build named by E2E_BUILD (default:
# build/win64) and sets root and build for the caller.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${E2E_BUILD:-$root/build/win64}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$build" -j2 --target ravlen winauto winauto_hook >/dev/null
