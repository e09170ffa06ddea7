"""Speed of a raw job: a printer-ready file of 200 MB printed by `ravlen.exe /q` under Wine
until its job is complete in the capture directory, against `lp -o raw` of the same file to the
same printer; the median of five runs each, as a ratio (target: within 1.5x of lp). Also the
program's peak memory for that file and for one a quarter of its size (target: flat).
Prints the numbers; not a pass/fail test. On a machine shared with other work the times of
Wine's spooler vary several-fold from run to run (disk write-back of the spool files); the
bare raw job printed for reference shows how much of a slow run is Wine's own."""

import os
import statistics
import subprocess
import sys
import threading
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import bench as bench_module  # noqa: E402
from memory_watch import peak_memory  # noqa: E402

MB = 1024 * 1024
RUNS = 5


def run_ravlen(bench, settings, path):
    """Seconds from the start of ravlen.exe until its job is in the capture directory, and the
    program's peak memory in kB."""
    first = bench._next_job_id()
    stop, found = threading.Event(), [0]
    watcher = threading.Thread(target=peak_memory, args=(stop, found))
    watcher.start()
    start = time.monotonic()
    subprocess.run([bench_module.WINE, bench_module.unix_to_windows(bench.ravlen),
                    "/i:" + settings, "/q", path], env=bench.env, check=True, timeout=600,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    jobs = bench.wait_jobs(first, 1, timeout=600)
    elapsed = time.monotonic() - start
    stop.set()
    watcher.join()
    return elapsed, found[0], jobs


def run_lp(bench, path):
    first = bench._next_job_id()
    start = time.monotonic()
    subprocess.run(["lp", "-d", bench_module.PRINTER, "-o", "raw", path], env=bench.env,
                   check=True, timeout=600, stdout=subprocess.DEVNULL)
    bench.wait_jobs(first, 1, timeout=600)
    return time.monotonic() - start


def run_plain_raw_job(bench, path):
    """The same file as a bare raw job of a minimal Windows program (winauto rawprint): what
    Wine's spooler itself costs, for reading the ratio on a busy machine."""
    first = bench._next_job_id()
    start = time.monotonic()
    bench.winauto("rawprint", "--printer", bench_module.PRINTER, "--title", "plain", path,
                  timeout=600)
    bench.wait_jobs(first, 1, timeout=600)
    return time.monotonic() - start


def clear_capture(bench):
    for name in os.listdir(bench.capture_dir):
        os.remove(os.path.join(bench.capture_dir, name))


def main():
    ravlen, winauto, work = bench_module.default_paths()
    ravlen = os.environ.get("RAVLEN_EXE", ravlen)
    bench = bench_module.Bench(os.environ.get("E2E_WORK", work + "-output-bench"), ravlen=ravlen,
                               winauto=winauto)
    bench.start()
    try:
        settings = bench.write_settings("bench", {
            "General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
            "Default settings": {"ShowPrintDlg": 0, "EnableTextPrint": 0}})
        block = bytes((i * 7 + 3) & 0xFF for i in range(MB))
        sizes = {"big": 200, "small": 50}
        paths = {}
        for name, megabytes in sizes.items():
            paths[name] = "C:\\bench\\%s.prn" % name
            with open(bench.unix_path(paths[name]), "wb") as f:
                for _ in range(megabytes):
                    f.write(block)

        ours, lp, plain, memory = [], [], [], []
        for _ in range(RUNS):
            elapsed, peak, jobs = run_ravlen(bench, settings, paths["big"])
            if len(jobs) != 1 or len(jobs[0][1]) != sizes["big"] * MB:
                raise SystemExit("the job of ravlen.exe arrived incomplete")
            ours.append(elapsed)
            memory.append(peak)
            clear_capture(bench)
            lp.append(run_lp(bench, bench.unix_path(paths["big"])))
            clear_capture(bench)
            plain.append(run_plain_raw_job(bench, paths["big"]))
            clear_capture(bench)
        _, small_peak, _ = run_ravlen(bench, settings, paths["small"])
        clear_capture(bench)

        ours_median, lp_median = statistics.median(ours), statistics.median(lp)
        print("ravlen.exe /q, 200 MB raw job: median %.2f s (runs %s)"
              % (ours_median, ", ".join("%.2f" % t for t in ours)))
        print("lp -o raw, same file and printer: median %.2f s (runs %s)"
              % (lp_median, ", ".join("%.2f" % t for t in lp)))
        print("ratio ravlen / lp: %.2fx (target: at most 1.5x); of the fastest runs: %.2fx"
              % (ours_median / lp_median, min(ours) / min(lp)))
        print("for reference, a bare raw job through Wine's spooler: median %.2f s (runs %s)"
              % (statistics.median(plain), ", ".join("%.2f" % t for t in plain)))
        print("peak memory of ravlen.exe: %d kB for 200 MB, %d kB for 50 MB (target: flat)"
              % (max(memory), small_peak))
    finally:
        bench.stop()


if __name__ == "__main__":
    main()
