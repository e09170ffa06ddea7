#!/usr/bin/env bash
# Speed of the text formatter against enscript, as a ratio: the counting pass
# and the layout of every page of a 10 MB text file (drawing calls counted by
# the recorder, not kept), against `enscript -o out.ps` on the same file
# (target: at least 3x faster). Also the peak memory for the file and one four
# times as long (target: flat). Prints the numbers; not a pass/fail test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/textfmt-bench"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRAVLEN_SANITIZE=OFF >/dev/null
fi
cmake --build "$build" -j2 --target textfmt_bench_tool >/dev/null
tool="$build/tests/textfmt/textfmt_bench_tool"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Source-like lines of varied length, some with tabs and some long enough to
# be cut, about 10 MB.
python3 - "$work/text.txt" "$work/text4.txt" "$work/utf8.txt" <<'PY'
import random, sys
random.seed(7)
words = "int static return if else while for the of and value count buffer page line".split()
lines = []
size = 0
while size < 10 * 1024 * 1024:
    n = random.choice([0, 2, 5, 8, 12, 20])
    line = ("\t" if random.random() < 0.3 else "") + " ".join(random.choice(words) for _ in range(n))
    lines.append(line)
    size += len(line) + 1
text = "\n".join(lines) + "\n"
open(sys.argv[1], "w").write(text)
open(sys.argv[2], "w").write(text * 4)
# The same mix in French, German, Greek, Cyrillic, box drawing and the euro sign.
words = ("d\u00e9j\u00e0 stra\u00dfe \u00fcber \u03b1\u03b2\u03b3 \u03bb\u03cc\u03b3\u03bf\u03c2 "
         "\u0434\u0430 \u0441\u043b\u043e\u0432\u043e \u20ac5 \u2500\u2500\u2524 value line").split()
lines = []
size = 0
while size < 10 * 1024 * 1024:
    n = random.choice([0, 2, 5, 8, 12, 20])
    line = ("\t" if random.random() < 0.3 else "") + " ".join(random.choice(words) for _ in range(n))
    lines.append(line)
    size += len(line.encode("utf-8")) + 1
open(sys.argv[3], "w", encoding="utf-8").write("\n".join(lines) + "\n")
PY

read -r ours calls pages memory < <("$tool" "$work/text.txt")
read -r _ _ _ memory4 < <("$tool" "$work/text4.txt")
best=999
for _ in 1 2 3; do
    start=$(date +%s.%N)
    enscript -q -o "$work/out.ps" "$work/text.txt" 2>/dev/null
    end=$(date +%s.%N)
    best=$(python3 -c "print(min($best, $end - $start))")
done
read -r ours8 calls8 pages8 _ < <("$tool" "$work/utf8.txt")
best8=999
for _ in 1 2 3; do
    start=$(date +%s.%N)
    enscript -q -o "$work/out8.ps" "$work/utf8.txt" 2>/dev/null
    end=$(date +%s.%N)
    best8=$(python3 -c "print(min($best8, $end - $start))")
done
python3 - "$ours8" "$best8" "$calls8" "$pages8" <<'PY'
import sys
ours, theirs, calls, pages = sys.argv[1:]
ours, theirs = float(ours), float(theirs)
print(f"textfmt, UTF-8: counting pass + layout of 10 MB: {ours:.3f} s, {pages} logical pages, {calls} drawing calls")
print(f"enscript -o out.ps on the same file: {theirs:.3f} s")
print(f"ratio enscript/textfmt for UTF-8: {theirs / ours:.1f}x (target at least 5x)")
PY
python3 - "$ours" "$best" "$calls" "$pages" "$memory" "$memory4" <<'PY'
import sys
ours, theirs, calls, pages, mem, mem4 = sys.argv[1:]
ours, theirs = float(ours), float(theirs)
print(f"textfmt: counting pass + layout of 10 MB: {ours:.3f} s, {pages} logical pages, {calls} drawing calls")
print(f"enscript -o out.ps on the same file: {theirs:.3f} s")
print(f"ratio enscript/textfmt: {theirs / ours:.1f}x (target at least 3x)")
print(f"peak memory: {int(mem) // 1024} MB for 10 MB, {int(mem4) // 1024} MB for 40 MB (target: flat)")
PY
