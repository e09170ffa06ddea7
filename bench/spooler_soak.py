"""Spooler soak: ravlen.exe runs in spooler mode under Wine while other processes drop 1,000
small files with distinct contents into its spool directory, the way real writers do:

- plain files written at once by a Linux process, some before the program starts;
- files appended in pieces by a Linux process that closes them in between;
- files written slowly in pieces by a Windows process that keeps them open meanwhile;
- files a Windows process writes at once and then keeps open for a while;
- read-only files, which the spooler must leave alone.

With --instances N, N programs serve the directory at once, each with its own settings
file and activity log, in one Wine prefix so that the sharing rules hold between them.

Afterwards the captured jobs are counted by content: every eligible file printed exactly
once, none printed twice, none left in the directory, the read-only files untouched. Prints
the drain rate (files per second after the first scan).

    python3 bench/spooler_soak.py [--files 1000] [--instances 1] [--ravlen R] [--winauto W]
                                  [--work DIR]

Bounded: gives up after --limit seconds (default 420). Exit code 0 when every check holds.
"""

import argparse
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import bench as bench_module  # noqa: E402

SPOOL = "C:\\soak\\spool"
PATTERN = SPOOL + "\\*.prn"
TITLE = "Ravlen Spooler - Default settings"


class Soak(bench_module.SpoolDirectory):
    def __init__(self, bench, files):
        super().__init__(bench, SPOOL, "soak")
        n = files
        # The mix of writers, in proportion to the number of files.
        self.counts = {"plain": n * 50 // 100, "appended": n * 15 // 100,
                       "slow": n * 15 // 100, "held": n * 10 // 100}
        self.counts["readonly"] = n - sum(self.counts.values())

    def names(self, kind):
        return ["%s-%04d.prn" % (kind, i) for i in range(self.counts[kind])]


def chunks(items, size):
    return [items[i:i + size] for i in range(0, len(items), size)]


def run(args):
    bench = bench_module.Bench(args.work, ravlen=args.ravlen, winauto=args.winauto)
    bench.start()
    try:
        return soak(bench, args)
    finally:
        bench.stop()


def soak(bench, args):
    s = Soak(bench, args.files)
    plain = s.names("plain")
    waiting = plain[:len(plain) // 2]
    for name in waiting:  # there before the program starts: a measure of the drain rate
        s.drop(name)
    for name in s.names("readonly"):
        s.drop_read_only(name)
    settings = {"General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
                "Default settings": {"ShowPrintDlg": 0, "EnableTextPrint": 0,
                                     "EnableSpooler": 1, "SysTray": 0}}
    started = time.monotonic()
    runs = []
    failures = []
    try:
        for i in range(args.instances):
            extra = ["/l:C:\\soak\\ravlen-%d.log" % i] if args.instances > 1 else []
            # Job numbers far apart: Wine names its spool files after them.
            runs.append(bench.start_run(["/s:" + PATTERN] + extra, settings=settings,
                                        settings_name="soak-%d" % i, timeout=args.limit + 60,
                                        job_numbers_from=1 + i * (args.files + 500)))
        for running in runs:
            running.dump(TITLE, timeout=60)
        total = len(s.expected)
        first_gone = None
        waiting_gone = None
        # The rest arrives while the program runs, a group at a time.
        for group in chunks(s.names("slow"), 50):
            s.write_from_windows(group, pieces=4, delay_ms=700, hold_ms=300,
                                 manifest="manifest-%s.txt" % group[0])
        for group in chunks(s.names("held"), 50):
            s.write_from_windows(group, pieces=1, delay_ms=0, hold_ms=8000,
                                 manifest="manifest-%s.txt" % group[0])
        for group in chunks(s.names("appended"), 50):
            s.append_slowly(group, pieces=5)
        def watch():
            nonlocal first_gone, waiting_gone
            now, present = time.monotonic(), set(s.left())
            if first_gone is None and not present >= set(waiting):
                first_gone = now
            if waiting_gone is None and not present & set(waiting):
                waiting_gone = now
        for group in chunks(plain[len(plain) // 2:], 50):
            for name in group:
                s.drop(name)
            watch()
            time.sleep(0.5)
        while s.writing():
            watch()
            time.sleep(0.2)
        s.finish_writers()
        deadline = started + args.limit
        while time.monotonic() < deadline:
            watch()
            if s.drained():
                break
            time.sleep(0.2)
        drained = time.monotonic()
        left = s.waiting()
        if left:
            failures.append("%d files left in the spool directory, e.g. %s" % (len(left),
                                                                              left[:5]))
        for running in runs:
            running.command(2, title=TITLE)
    except BaseException:
        for running in runs:
            running.abort()
        raise
    results = [running.wait() for running in runs]
    bench.wait_jobs(timeout=120)
    jobs = bench.jobs(runs[0].first_job)

    printed = {}
    for title, data in jobs:
        printed.setdefault(data, []).append(title)
    by_content = {data: name for name, data in s.expected.items()}
    never = [n for n, d in s.expected.items() if d not in printed]
    twice = [n for n, d in s.expected.items() if len(printed.get(d, [])) > 1]
    strangers = [titles for d, titles in printed.items() if d not in by_content]
    if never:
        failures.append("%d files never printed, e.g. %s" % (len(never), never[:5]))
    if twice:
        failures.append("%d files printed more than once, e.g. %s" % (len(twice), twice[:5]))
    if strangers:
        failures.append("%d jobs match no file whole (cut or mixed), e.g. %s"
                        % (len(strangers), strangers[:5]))
    for name, data in s.read_only.items():
        path = os.path.join(s.unix, name)
        if not os.path.exists(path):
            failures.append("read-only %s was deleted" % name)
        elif open(path, "rb").read() != data:
            failures.append("read-only %s was changed" % name)
        if data in printed:
            failures.append("read-only %s was printed" % name)
    boxes = [box for result in results for box in result.boxes]
    if boxes:
        failures.append("message boxes: %s" % boxes[:5])

    first_gone = first_gone or drained
    span = (waiting_gone or drained) - first_gone
    rate = len(waiting) / span if span > 0 else float("nan")
    print("soak: %d instance(s); %d eligible files (%s), %d read-only; %d jobs captured"
          % (args.instances, len(s.expected), ", ".join("%s %d" % kv for kv in s.counts.items()),
             len(s.read_only), len(jobs)))
    print("soak: the %d files waiting at start drained in %.1f s after the first went: "
          "%.1f files per second" % (len(waiting), span, rate))
    print("soak: everything drained %.1f s after the first file went, %.1f s after start"
          % (drained - first_gone, drained - started))
    for failure in failures:
        print("soak: FAILED: " + failure)
    print("soak: %s" % ("passed" if not failures else "failed"))
    return 0 if not failures else 1


def main():
    ravlen, winauto, _ = bench_module.default_paths()
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--files", type=int, default=1000)
    parser.add_argument("--instances", type=int, default=1)
    parser.add_argument("--limit", type=int, default=420)
    parser.add_argument("--ravlen", default=ravlen)
    parser.add_argument("--winauto", default=winauto)
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "win64", "soak"))
    return run(parser.parse_args())


if __name__ == "__main__":
    sys.exit(main())
