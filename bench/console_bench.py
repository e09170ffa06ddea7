#!/usr/bin/env python3
"""The console program against the windows program on the same work: a list file of 200
small files of every kind (text, C with highlighting, structured, plain and encapsulated
PostScript, printer-ready data), printed by `ravlenc @list` and by `ravlen /q @list` in
turn (A B A B ...) on one bench, each run timed from start to exit. Prints the median of
each and their ratio (target: the console program within 1.05x of the windows program).

    python3 bench/console_bench.py [--rounds N] [--build build/win64]"""

import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import bench as bench_module  # noqa: E402

KINDS = [
    ("txt", b"A line of text for the benchmark.\r\n" * 30),
    ("c", b"int main(void) { /* a comment */ return 0; }\r\n" * 20),
    ("ps", b"%!PS-Adobe-3.0\n%%Pages: 2\n%%EndProlog\n%%Page: 1 1\nshowpage\n"
           b"%%Page: 2 2\nshowpage\n%%EOF\n"),
    ("plain.ps", b"%!\n/Helvetica findfont 12 scalefont setfont 72 72 moveto (x) show showpage\n"),
    ("eps", b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 72 72\n0 0 moveto 72 72 lineto stroke\n"),
    ("prn", b"\x1bE\x1b&l0O printer-ready data\x0c" * 20),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "win64"))
    args = parser.parse_args()
    ravlen = os.path.join(args.build, "app", "ravlen.exe")
    ravlenc = os.path.join(args.build, "app", "ravlenc.exe")
    winauto = os.path.join(args.build, "tests", "e2e", "winauto.exe")
    bench = bench_module.Bench(os.path.join(args.build, "console-bench"), ravlen=ravlen,
                               winauto=winauto)
    bench.start()
    try:
        names = []
        for i in range(args.files):
            extension, data = KINDS[i % len(KINDS)]
            names.append(bench.put_file("C:\\bench\\files\\f%03d.%s" % (i, extension), data))
        listing = bench.put_file("C:\\bench\\files.lst", "\r\n".join(names).encode() + b"\r\n")
        ini = bench.write_settings("bench", {
            "Settings List": {"Default settings": 1, "Code": 1},
            "Default settings": {"ShowPrintDlg": 0, "ProgrBar": 0, "PSEOFChar": 0},
            "Code": {"ShowPrintDlg": 0, "FileTypes": ".c", "PrettyPrint": 1}})
        commands = {
            "ravlenc": [bench_module.unix_to_windows(ravlenc), "/i:" + ini, "@" + listing],
            "ravlen /q": [bench_module.unix_to_windows(ravlen), "/i:" + ini, "/q",
                          "@" + listing],
        }
        times = {name: [] for name in commands}
        jobs = {}
        for round_number in range(args.rounds + 1):
            for name, argv in commands.items():
                before = len(bench.jobs())
                start = time.monotonic()
                subprocess.run([bench_module.WINE] + argv, env=bench.env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
                elapsed = time.monotonic() - start
                jobs[name] = len(bench.wait_jobs(timeout=300)) - before
                if round_number > 0:  # the first round warms Wine and the caches
                    times[name].append(elapsed)
        load = os.getloadavg()[0]
        for name, values in times.items():
            print("%-10s median %6.2f s  (runs: %s), %d jobs a run" % (
                name, statistics.median(values), ", ".join("%.2f" % v for v in values),
                jobs[name]))
        ratios = [c / w for c, w in zip(times["ravlenc"], times["ravlen /q"])]
        print("ratio ravlenc / ravlen /q: median %.3f (target <= 1.05); %d files, %d cores, "
              "load %.2f" % (statistics.median(ratios), args.files, os.cpu_count(), load))
    finally:
        bench.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
