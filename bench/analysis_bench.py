#!/usr/bin/env python3
"""Speed and memory of the PostScript analysis and composition, as ratios.

Usage: bench/analysis_bench.py [COMPOSE_TOOL]

Without a tool path, builds build/bench (Release, no sanitizers) first.
Compares, on a 2,000-page DSC document whose page count is deferred with
"(atend)" (so the whole file is scanned):
  - AnalyzeFile measured inside the process, against the process
    `grep -c '^%%Page:'` (target: within 2x of grep);
  - composing the document 2-up into a file against `psnup -2` (target:
    faster than psnup);
and the peak memory of both for that document and one four times as long
(target: flat). Prints the numbers; not a pass/fail test.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def build_tool():
    build = os.path.join(ROOT, "build", "bench")
    if not os.path.exists(os.path.join(build, "build.ninja")):
        subprocess.run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Release", "-DRAVLEN_SANITIZE=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build, "--target", "compose_tool", "-j2"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(build, "tests", "output", "compose_tool")


def document(path, pages):
    """A text-setting DSC document of about 4.75 KB per page."""
    with open(path, "w") as f:
        f.write("%!PS-Adobe-3.0\n%%Creator: bench\n%%Pages: (atend)\n%%EndComments\n"
                "%%BeginProlog\n/F { /Courier findfont 10 scalefont setfont } bind def\n"
                "/L { 72 exch moveto show } bind def\n%%EndProlog\n"
                "%%BeginSetup\nF\n%%EndSetup\n")
        for k in range(1, pages + 1):
            f.write("%%%%Page: %d %d\nsave\n" % (k, k))
            for line in range(64):
                f.write("(Line %02d of page %04d: the quick brown fox jumps over the lazy dog) %d L\n"
                        % (line, k, 740 - 11 * line))
            f.write("restore showpage\n")
        f.write("%%Trailer\n%%%%Pages: %d\n%%EOF\n" % pages)


def run(args, stdout=subprocess.DEVNULL):
    """Wall time and peak memory (KB) of one process."""
    start = time.perf_counter()
    process = subprocess.Popen(args, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) not in (0, 1):
        raise SystemExit("failed: %s" % " ".join(args))
    return elapsed, usage.ru_maxrss


def best(args, times=15, stdout=subprocess.DEVNULL):
    results = [run(args, stdout) for _ in range(times)]
    return min(r[0] for r in results), max(r[1] for r in results)


def inside(tool, args, times=15):
    """The fastest of `times` runs measured inside the tool, in ms."""
    result = subprocess.run([tool, "time", str(times)] + args, stdout=subprocess.PIPE, check=True)
    return float(result.stdout.decode().split()[-1])


def main():
    tool = sys.argv[1] if len(sys.argv) > 1 else build_tool()
    work = tempfile.mkdtemp(prefix="rvl-bench-")
    try:
        small = os.path.join(work, "doc2000.ps")
        large = os.path.join(work, "doc8000.ps")
        document(small, 2000)
        document(large, 8000)
        out = os.path.join(work, "out.ps")
        print("document: 2,000 pages, %.1f MB" % (os.path.getsize(small) / 1e6))

        analyze_ms = inside(tool, ["analyze", small])
        analyze, analyze_rss = best([tool, "analyze", small])
        grep, _ = best(["grep", "-c", "^%%Page:", small])
        start, _ = best(["true"])
        print("AnalyzeFile   %7.1f ms   grep -c %7.1f ms   ratio %.2f (target <= 2)"
              % (analyze_ms, grep * 1e3, analyze_ms / (grep * 1e3)))
        print("  (as processes: analyze %.1f ms, grep %.1f ms; starting a process here: %.1f ms)"
              % (analyze * 1e3, grep * 1e3, start * 1e3))

        compose_ms = inside(tool, ["NUpPs=1", small, out], times=5)
        compose, compose_rss = best([tool, "NUpPs=1", small, out], times=5)
        if shutil.which("psnup"):
            psnup, _ = best(["psnup", "-q", "-2", small, out], times=5)
            print("compose 2-up  %7.1f ms   psnup -2 %7.1f ms  ratio %.2f (target < 1)"
                  % (compose_ms, psnup * 1e3, compose_ms / (psnup * 1e3)))
            print("  (as a process: compose %.1f ms)" % (compose * 1e3))
        else:
            print("compose 2-up  %7.1f ms   (psnup not installed)" % compose_ms)

        _, analyze_rss_large = best([tool, "analyze", large], times=3)
        _, compose_rss_large = best([tool, "NUpPs=1", large, out], times=2)
        print("peak memory   analyze %d KB -> %d KB, compose %d KB -> %d KB for 4x the pages"
              % (analyze_rss, analyze_rss_large, compose_rss, compose_rss_large))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
