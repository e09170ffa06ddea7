"""Speed of text printing under Wine: a text file of about 200 printout pages printed by
`ravlen.exe /q` until its job is complete in the capture directory, against a minimal GDI
program (text_gdi_baseline.exe, given as BASELINE_EXE) that draws the same rows, one font, the
same rows to a page, on the same number of pages through the same printer; the median of
five runs each, as a ratio (target: within 1.2x of the baseline). Wine's PostScript driver
does most of the work in both. Also the program's peak memory for that file and for one a
quarter of its size (target: flat). Prints the numbers; not a pass/fail test."""

import os
import statistics
import subprocess
import sys
import tempfile
import threading
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import bench as bench_module  # noqa: E402
from memory_watch import peak_memory  # noqa: E402

RUNS = 5
LINES_PER_PAGE = 60
PAGES = 200
FACE = "Courier"


def text(pages):
    """Lines of 20 to 90 characters, LINES_PER_PAGE to a page."""
    words = "int static return if else while for the of and value count buffer page line".split()
    out = []
    for i in range(pages * LINES_PER_PAGE):
        line = "%6d " % (i + 1)
        k = i
        while len(line) < 20 + i * 37 % 71:
            line += words[k % len(words)] + " "
            k = k * 7 + 3
        out.append(line.rstrip())
    return ("\r\n".join(out) + "\r\n").encode()


def timed_job(bench, argv, watch=False):
    """Seconds from the start of the Windows program until its job is in the capture
    directory, the job, and the peak memory of ravlen.exe in kB when watched."""
    first = bench._next_job_id()
    stop, found = threading.Event(), [0]
    watcher = threading.Thread(target=peak_memory, args=(stop, found)) if watch else None
    if watcher:
        watcher.start()
    start = time.monotonic()
    subprocess.run([bench_module.WINE] + argv, env=bench.env, check=True, timeout=900,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    jobs = bench.wait_jobs(first, 1, timeout=900)
    elapsed = time.monotonic() - start
    if watcher:
        stop.set()
        watcher.join()
    if len(jobs) != 1:
        raise SystemExit("expected one job from %s, got %d" % (argv[0], len(jobs)))
    return elapsed, jobs[0][1], found[0]


def sheets(ps):
    with tempfile.NamedTemporaryFile(suffix=".ps") as f:
        f.write(ps)
        f.flush()
        out = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=bbox",
                              f.name], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             timeout=600, check=True).stdout
    return out.count(b"%%BoundingBox:")


def clear_capture(bench):
    for name in os.listdir(bench.capture_dir):
        os.remove(os.path.join(bench.capture_dir, name))


def main():
    ravlen, winauto, work = bench_module.default_paths()
    baseline = os.environ["BASELINE_EXE"]
    bench = bench_module.Bench(os.environ.get("E2E_WORK", work + "-text-bench"), ravlen=ravlen,
                               winauto=winauto)
    bench.start()
    try:
        # Rows only: one logical page a sheet over the whole paper, no header or frame.
        settings = bench.write_settings("bench", {
            "General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
            "Default settings": {
                "ShowPrintDlg": 0, "EnableTextPrint": 1, "Landscape": 0, "Width": 1,
                "Height": 1, "Frame": 0, "SizeOp": 0, "Lines": LINES_PER_PAGE,
                "LeftMarg": 0, "RightMarg": 0, "TopMarg": 0, "BottomMarg": 0,
                "HeaderStr": "", "FontName": FACE}})
        paths = {}
        for name, pages in (("big", PAGES), ("small", PAGES // 4)):
            paths[name] = bench.put_file("C:\\bench\\%s.txt" % name, text(pages))
        ravlen_argv = [bench_module.unix_to_windows(ravlen), "/i:" + settings, "/q", paths["big"]]
        baseline_argv = [bench_module.unix_to_windows(baseline), paths["big"],
                         str(LINES_PER_PAGE), FACE]

        ours, theirs, memory = [], [], []
        for run in range(RUNS):
            elapsed, job, peak = timed_job(bench, ravlen_argv, watch=True)
            ours.append(elapsed)
            memory.append(peak)
            if run == 0:
                ours_sheets = sheets(job)
            clear_capture(bench)
            elapsed, job, _ = timed_job(bench, baseline_argv)
            theirs.append(elapsed)
            if run == 0:
                theirs_sheets = sheets(job)
            clear_capture(bench)
        _, _, small_peak = timed_job(bench, [bench_module.unix_to_windows(ravlen),
                                             "/i:" + settings, "/q", paths["small"]], watch=True)
        clear_capture(bench)

        ours_median, theirs_median = statistics.median(ours), statistics.median(theirs)
        print("ravlen.exe /q, %d-page text file: median %.2f s (runs %s), %d sheets"
              % (PAGES, ours_median, ", ".join("%.2f" % t for t in ours), ours_sheets))
        print("minimal GDI program, same rows and printer: median %.2f s (runs %s), %d sheets"
              % (theirs_median, ", ".join("%.2f" % t for t in theirs), theirs_sheets))
        # The machine is shared and Wine's timings vary by a second or more from run to
        # run; the best runs show the ratio with the least noise.
        print("ratio ravlen / baseline: %.2fx of the medians, %.2fx of the best runs "
              "(target: at most 1.2x)" % (ours_median / theirs_median, min(ours) / min(theirs)))
        print("peak memory of ravlen.exe: %d kB for %d pages, %d kB for %d (target: flat)"
              % (max(memory), PAGES, small_peak, PAGES // 4))
    finally:
        bench.stop()


if __name__ == "__main__":
    main()
