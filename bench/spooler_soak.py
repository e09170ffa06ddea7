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
the drain rate (files per second after the first scan), and where the machine's processor
time went meanwhile: the programs, Wine's server and its other processes, the scheduler and
its backends, the display, this script, and whatever else the machine ran.

    python3 bench/spooler_soak.py [--files 1000] [--instances 1] [--ravlen R] [--winauto W]
                                  [--work DIR]

Bounded: gives up after --limit seconds (default 420). Exit code 0 when every check holds.
"""

import argparse
import collections
import os
import sys
import threading
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


class CpuShares:
    """Processor time by process group, from /proc: snapshots taken as the soak watches, the
    split between two of them. A process's children that have ended count with it once it
    has reaped them (the scheduler reaps its backends)."""

    TICK = os.sysconf("SC_CLK_TCK")

    def __init__(self, bench, runs):
        self.bench = bench
        self.runs = runs
        self.prefixes = {}  # pid -> whether it serves the bench's Wine prefix

    def _stat(self, pid):
        with open("/proc/%s/stat" % pid) as f:
            text = f.read()
        comm = text[text.index("(") + 1:text.rindex(")")]
        fields = text[text.rindex(")") + 2:].split()
        # utime stime cutime cstime are fields 14 to 17 of stat(5): 11 to 14 after the name.
        own = int(fields[11]) + int(fields[12])
        children = int(fields[13]) + int(fields[14])
        return comm, int(fields[1]), int(fields[19]), own, children

    def _in_prefix(self, pid, started):
        key = (pid, started)
        if key not in self.prefixes:
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    wanted = b"WINEPREFIX=" + self.bench.prefix.encode()
                    self.prefixes[key] = wanted in f.read().split(b"\0")
            except OSError:
                self.prefixes[key] = False
        return self.prefixes[key]

    def snapshot(self):
        """{group: ticks} of the processes alive now, and the machine's busy ticks."""
        stats = {}
        for pid in os.listdir("/proc"):
            if pid.isdigit():
                try:
                    stats[int(pid)] = self._stat(pid)
                except (OSError, ValueError, IndexError):
                    pass
        cupsd = self.bench._cupsd.pid if self.bench._cupsd else None
        xvfb = self.bench._xvfb.pid if self.bench._xvfb else None
        programs = {r._pid for r in self.runs if r._pid}

        def under(pid, root):
            for _ in range(64):
                if pid == root:
                    return True
                if pid not in stats or pid <= 1:
                    return False
                pid = stats[pid][1]
            return False
        ticks = collections.Counter()
        for pid, (comm, _, started, own, children) in stats.items():
            if pid == cupsd:
                ticks["cupsd"] += own
                ticks["CUPS backends"] += children
            elif cupsd and under(pid, cupsd):
                ticks["CUPS backends"] += own
            elif pid == xvfb:
                ticks["Xvfb"] += own + children
            elif pid == os.getpid():
                ticks["this script and its Linux writers"] += own
            elif self._in_prefix(pid, started):
                if pid in programs or comm == "ravlen.exe":
                    group = "ravlen.exe"
                    # Each instance apart too, in the order they started (the pid
                    # tells apart two that started in the same clock tick).
                    ticks["ravlen.exe started %012d %d" % (started, pid)] += own + children
                elif comm.startswith("wineserver"):
                    group = "wineserver"
                elif comm == "winauto.exe":
                    group = "winauto.exe (runners, Windows writers)"
                else:
                    group = "other Wine processes"
                ticks[group] += own + children
            else:
                ticks["outside the bench"] += own + children
        with open("/proc/stat") as f:
            cpu = [int(v) for v in f.readline().split()[1:]]
        busy = sum(cpu) - cpu[3] - cpu[4]  # all but idle and iowait
        return ticks, busy, time.monotonic()

    @classmethod
    def report(cls, before, after, files):
        ticks = collections.Counter(after[0])
        ticks.subtract(before[0])
        # Processes that ended meanwhile, not reaped by one counted here, count as the
        # machine's busy time that no group accounts for.
        busy = after[1] - before[1]
        wall = after[2] - before[2]
        lines = ["soak: processor time over the %.1f s of the drain (%d processor(s), %.2f "
                 "busy of them):" % (wall, os.cpu_count(), busy / cls.TICK / wall)]
        instances = sorted(k for k in ticks if k.startswith("ravlen.exe started "))
        each = [ticks.pop(k) for k in instances]
        counted = sum(max(v, 0) for v in ticks.values())
        rows = sorted(((v, k) for k, v in ticks.items() if v > 0), reverse=True)
        rows.append((max(busy - counted, 0), "not accounted (ended unreaped)"))
        for value, group in rows:
            seconds = value / cls.TICK
            lines.append("soak:   %-40s %6.2f s  %5.1f %%  %6.2f ms a file" % (
                group, seconds, 100.0 * value / busy if busy else 0, 1000 * seconds / files))
            if group == "ravlen.exe" and len(each) > 1:
                lines.append("soak:     the instances, first started first: %s" % ", ".join(
                    "%.2f s" % (v / cls.TICK) for v in each))
        return lines


class DrainWatch(threading.Thread):
    """When the first and the last of the files waiting at start went, looked for every 20 ms:
    their drain takes a few seconds, which the soak's looks between its groups of files would
    time only to half a second."""

    def __init__(self, directory, waiting):
        super().__init__(daemon=True)
        self.directory = directory
        self.waiting = set(waiting)
        self.first = None
        self.last = None
        self.done = threading.Event()

    def run(self):
        while self.last is None and not self.done.wait(0.02):
            present = set(os.listdir(self.directory))
            now = time.monotonic()
            if self.first is None and not present >= self.waiting:
                self.first = now
            if not present & self.waiting:
                self.last = now


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
        shares = CpuShares(bench, runs)
        drain = DrainWatch(s.unix, waiting)
        drain.start()
        first_gone = None
        waiting_gone = None
        cpu_before = cpu_after = None
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
            nonlocal first_gone, waiting_gone, cpu_before, cpu_after
            shot = shares.snapshot() if waiting_gone is None else None
            now, present = time.monotonic(), set(s.left())
            if first_gone is None and not present >= set(waiting):
                first_gone = now
            if first_gone is None:
                cpu_before = shot
            if waiting_gone is None and not present & set(waiting):
                waiting_gone = now
                cpu_after = shot
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

    drain.done.set()
    drain.join()
    first_gone = drain.first or first_gone or drained
    span = (drain.last or waiting_gone or drained) - first_gone
    rate = len(waiting) / span if span > 0 else float("nan")
    print("soak: %d instance(s); %d eligible files (%s), %d read-only; %d jobs captured"
          % (args.instances, len(s.expected), ", ".join("%s %d" % kv for kv in s.counts.items()),
             len(s.read_only), len(jobs)))
    print("soak: the %d files waiting at start drained in %.1f s after the first went: "
          "%.1f files per second" % (len(waiting), span, rate))
    print("soak: everything drained %.1f s after the first file went, %.1f s after start"
          % (drained - first_gone, drained - started))
    if cpu_before and cpu_after:
        for line in CpuShares.report(cpu_before, cpu_after, len(waiting)):
            print(line)
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
