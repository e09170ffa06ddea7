#!/usr/bin/env bash
# Speed of the text formatter as ratios, each taken in one round against its
# peer on the same input: the counting pass and the layout of every page of a
# 10 MB text file (drawing calls counted by the recorder, not kept) against
# `enscript -o out.ps`, in ASCII and in UTF-8 (target: at least 10x faster
# both); the same file with C highlighting (the shipped pp.txt) against the
# plain layout (target: at most 1.5x its time) and against
# `enscript --highlight=c` (target: at least 10x faster). Also the peak memory
# for the file and one four times as long (target: flat).
#
# The rounds run the peers in turn (A B A B ...) and the ratios are the
# medians of the rounds' ratios, so that other load on the machine moves both
# sides of a ratio alike. Times are CPU seconds (user and system) of the job,
# and wall seconds beside them. ROUNDS=N sets the rounds (default 5). Prints
# the numbers and the machine's load; not a pass/fail test.
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

TOOL="$tool" PP="$root/resources/pp.txt" WORK="$work" ROUNDS="${ROUNDS:-5}" python3 - <<'PY'
import os, statistics, subprocess, time

tool, pp, work = os.environ["TOOL"], os.environ["PP"], os.environ["WORK"]
rounds = int(os.environ["ROUNDS"])
text, text4, utf8 = (os.path.join(work, n) for n in ("text.txt", "text4.txt", "utf8.txt"))

def ours(path, *options):
    """One job in the tool: (cpu, wall, calls, pages, peak kB)."""
    out = subprocess.run([tool, *options, path], check=True, capture_output=True, text=True)
    wall, cpu, calls, pages, peak = out.stdout.split()
    return float(cpu), float(wall), int(calls), int(pages), int(peak)

def enscript(path, *options):
    """One enscript run: (cpu, wall) of the whole process."""
    start = time.perf_counter()
    child = subprocess.Popen(["enscript", "-q", *options, "-o", os.path.join(work, "out.ps"), path],
                             stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    if status != 0:
        raise SystemExit("enscript failed")
    return usage.ru_utime + usage.ru_stime, wall

highlight = ["--highlight", pp, "--as", "text.c"]
load_before = os.getloadavg()
samples = {k: [] for k in ("plain", "hl", "ens", "ensc", "utf8", "ens8")}
for _ in range(rounds):
    samples["plain"].append(ours(text))
    samples["hl"].append(ours(text, *highlight))
    samples["ens"].append(enscript(text))
    samples["ensc"].append(enscript(text, "--highlight=c"))
    samples["utf8"].append(ours(utf8))
    samples["ens8"].append(enscript(utf8))
load_after = os.getloadavg()

def median(key, field=0):
    return statistics.median(s[field] for s in samples[key])

def ratio(top, bottom, field):
    """Median of the rounds' ratios, with their spread."""
    values = [a[field] / b[field] for a, b in zip(samples[top], samples[bottom])]
    return statistics.median(values), min(values), max(values)

def show(label, top, bottom, target):
    cpu, low, high = ratio(top, bottom, 0)
    wall = ratio(top, bottom, 1)[0]
    print(f"{label}: {cpu:.1f}x cpu (rounds {low:.1f} to {high:.1f}), {wall:.1f}x wall ({target})")

plain, hl, utf = samples["plain"][0], samples["hl"][0], samples["utf8"][0]
print(f"{rounds} rounds; load average {load_before[0]:.2f} before, {load_after[0]:.2f} after, "
      f"{os.cpu_count()} cores")
print(f"textfmt, ASCII, counting pass + layout of 10 MB: {median('plain'):.3f} s cpu, "
      f"{median('plain', 1):.3f} s wall, {plain[3]} logical pages, {plain[2]} drawing calls")
print(f"  with C highlighting: {median('hl'):.3f} s cpu, {median('hl', 1):.3f} s wall, "
      f"{hl[2]} drawing calls")
print(f"textfmt, UTF-8: {median('utf8'):.3f} s cpu, {median('utf8', 1):.3f} s wall, "
      f"{utf[3]} logical pages, {utf[2]} drawing calls")
print(f"enscript -o out.ps: {median('ens'):.3f} s cpu ASCII, {median('ens8'):.3f} s cpu UTF-8; "
      f"--highlight=c {median('ensc'):.3f} s cpu")
show("ratio enscript/textfmt, ASCII", "ens", "plain", "target at least 10x")
show("ratio enscript/textfmt, UTF-8", "ens8", "utf8", "target at least 10x")
cpu, low, high = ratio("hl", "plain", 0)
print(f"highlighting/plain: {cpu:.2f}x cpu (rounds {low:.2f} to {high:.2f}), "
      f"{ratio('hl', 'plain', 1)[0]:.2f}x wall (target at most 1.5x)")
show("ratio enscript --highlight=c/textfmt highlighting", "ensc", "hl", "target at least 10x")
peak, peak4 = ours(text)[4], ours(text4)[4]
print(f"peak memory: {peak / 1024:.1f} MB for 10 MB, {peak4 / 1024:.1f} MB for 40 MB (target: flat)")
PY
