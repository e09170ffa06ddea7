#!/usr/bin/env bash
# Print preview of a long text file: the time to the first sheet of a 50 MB
# file (target: under 0.5 s), the time to walk and count all its sheets in
# the background, the time to draw its last sheet alone, and the peak memory
# for 10 MB and 50 MB (target: growing only by the small record kept for each
# sheet). Default settings on the recorder; then, when Wine and a win64 build
# are there, the same file in ravlen.exe /v under Wine (preview_e2e_bench.py).
# Prints the numbers; not a pass/fail test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/textfmt-bench"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVLEN_SANITIZE=OFF >/dev/null
fi
cmake --build "$build" -j2 --target preview_bench_tool >/dev/null
tool="$build/tests/textfmt/preview_bench_tool"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work/10.txt" "$work/50.txt" <<'PY'
import random, sys
random.seed(7)
words = "int static return if else while for the of and value count buffer page line".split()
lines, size = [], 0
while size < 10 * 1024 * 1024:
    line = " ".join(random.choice(words) for _ in range(random.choice([0, 2, 5, 8, 12, 20])))
    lines.append(line)
    size += len(line) + 1
text = "\n".join(lines) + "\n"
open(sys.argv[1], "w").write(text)
open(sys.argv[2], "w").write(text * 5)
PY
read -r first10 walk10 last10 sheets10 memory10 < <("$tool" "$work/10.txt")
read -r first50 walk50 last50 sheets50 memory50 < <("$tool" "$work/50.txt")
python3 - "$first50" "$walk50" "$last50" "$sheets50" "$memory10" "$memory50" "$sheets10" <<'PY'
import sys
first, walk, last, sheets, mem10, mem50, sheets10 = sys.argv[1:]
print(f"50 MB text file, {sheets} sheets: first sheet {float(first) * 1000:.1f} ms (target under 500 ms)")
print(f"walking and counting every sheet in the background: {float(walk):.2f} s")
print(f"the last sheet drawn alone: {float(last) * 1000:.1f} ms")
grow = (int(mem50) - int(mem10)) * 1024 / max(int(sheets) - int(sheets10), 1)
print(f"peak memory: {int(mem10) // 1024} MB for 10 MB ({sheets10} sheets), "
      f"{int(mem50) // 1024} MB for 50 MB: {grow:.0f} bytes a sheet more")
PY
if [ -x /usr/lib/wine/wine64 ] && [ -d "$root/build/win64" ]; then
    source "$root/bench/win64_programs.sh"
    PREVIEW_TEXT="$work/50.txt" E2E_BUILD="$build" python3 "$root/bench/preview_e2e_bench.py"
fi
