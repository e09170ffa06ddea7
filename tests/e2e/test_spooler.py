"""End-to-end tests of spooler mode and the progress window: ravlen.exe under Wine polls a
spool directory while other processes drop files into it, and a batch is stopped from the
main window or the progress window. Run through run_tests.py."""

import os
import re
import time
import unittest

import bench as bench_module

bench = None

IDC_STOP = 1050
IDC_EXIT = 2
SPOOL = "C:\\tests\\spool"
PATTERN = SPOOL + "\\*.prn"
CONVERTER = "C:\\tests\\conv\\converter.exe"
SPOOLER_TITLE = "Ravlen Spooler - Default settings"


def setUpModule():
    global bench
    bench = bench_module.shared_bench()
    bench.put_test_converter(CONVERTER)


def shot(name):
    """A screenshot beside the bench: build/.../tests/e2e/shots/NAME.png."""
    path = os.path.join(os.path.dirname(bench.work), "shots", name + ".png")
    try:
        return bench.screenshot(path)
    except (OSError, bench_module.subprocess.SubprocessError):
        return None  # a missing screenshot tool does not fail the test


def settings(**keys):
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "EnableSpooler": 1, "SysTray": 0}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def window_gone(running, title, timeout=20):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        out = bench.winauto("dump", "--title", title, "--pid", str(running.pid),
                            "--timeout", "0", check=False)
        if '"event":"dump"' not in out:
            return True
        time.sleep(0.2)
    return False


def spool_directory(stage):
    return bench_module.SpoolDirectory(bench, SPOOL, stage)


def drop_files(spool, plain, read_only):
    """Plain files, and `read_only` read-only ones that must stay as they are."""
    for name in plain:
        spool.drop(name)
    for i in range(read_only):
        spool.drop_read_only("readonly-%02d.prn" % i)


def start_writers(spool, each):
    """The writers that take their time, `each` of a kind: Linux appenders, slow Windows
    writers holding the file open, and files held open a while after they are written."""
    appended, slow, held = (["%s-%02d.prn" % (kind, i) for i in range(each)]
                            for kind in ("appended", "slow", "held"))
    spool.append_slowly(appended)
    spool.write_from_windows(slow, pieces=5, delay_ms=800, hold_ms=500, manifest="slow.txt")
    spool.write_from_windows(held, pieces=1, delay_ms=0, hold_ms=7000, manifest="held.txt")


def assert_each_printed_once(test, spool, jobs):
    """Every eligible file printed exactly once and whole; only the read-only ones left, as
    they were."""
    printed = {}
    for title, data in jobs:
        printed.setdefault(data, []).append(title)
    for name, data in spool.expected.items():
        test.assertEqual(printed.get(data), ["Ravlen - " + name], name)
    test.assertEqual(len(jobs), len(spool.expected), sorted(printed.values()))
    test.assertEqual(spool.left(), sorted(spool.read_only))
    for name, data in spool.read_only.items():
        with open(os.path.join(spool.unix, name), "rb") as f:
            test.assertEqual(f.read(), data, name)


class SpoolerTest(unittest.TestCase):
    def run_spooler(self, interact, timeout=180, **keys):
        running = bench.start_run(["/s:" + PATTERN], settings=settings(**keys), timeout=timeout)
        try:
            interact(running)
            running.command(IDC_EXIT, title=SPOOLER_TITLE)
        except BaseException:
            running.abort()
            raise
        result = running.wait()
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        return result

    def test_spooler_window_shows_its_pattern_and_title(self):
        seen = {}

        def interact(running):
            seen["window"] = running.dump(SPOOLER_TITLE, timeout=60)
            bench.winauto("restore", "--title", SPOOLER_TITLE, "--pid", str(running.pid))
            time.sleep(1)
            shot("spooler-window")

        result = self.run_spooler(interact)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        window = seen["window"]
        self.assertEqual(window["title"], SPOOLER_TITLE)
        texts = [c["text"] for c in window["controls"]]
        self.assertIn("Ravlen will print all files matching: " + PATTERN, texts)
        buttons = {c["text"]: c for c in window["controls"] if c["class"] == "Button"}
        self.assertTrue(buttons["E&xit"]["enabled"])
        self.assertFalse(buttons["&Stop"]["enabled"])
        self.assertNotIn("&Print File...", buttons)

    def test_files_dropped_by_other_processes_print_once_each(self):
        spool = spool_directory("small")
        drop_files(spool, ["plain-%02d.prn" % i for i in range(10)], 5)
        spool.drop("not-matched.txt")
        spool.read_only["not-matched.txt"] = spool.expected.pop("not-matched.txt")

        def interact(running):
            running.dump(SPOOLER_TITLE, timeout=60)
            start_writers(spool, 5)
            spool.finish_writers()
            bench_module.wait_for(spool.drained, 90, "the spool directory to drain")
            bench.wait_jobs(timeout=60)

        result = self.run_spooler(interact)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        assert_each_printed_once(self, spool, result.jobs)


class SeveralSpoolersTest(unittest.TestCase):
    """Three instances in one prefix, so that the sharing rules hold between them as between
    machines on one file server."""

    def test_three_spoolers_print_every_file_once_though_one_is_killed_in_a_job(self):
        spool = spool_directory("several")
        plain = ["plain-%03d.prn" % i for i in range(100)]
        drop_files(spool, plain[:50], 25)
        # The first instance's conversion program keeps its first file in hand long enough
        # for it to be killed there; it logs which file that is.
        victim_log = "C:\\tests\\several-victim.log"
        # Job numbers far apart: Wine names its spool files after them (see bench.start_run).
        runs = [bench.start_run(
            ["/s:" + PATTERN, "/e", "/l:" + victim_log], settings_name="several-victim",
            settings=settings(DoConvBin=1, ConvComBin=CONVERTER + "?--sleep 30000 &i &o"),
            timeout=400, job_numbers_from=1)]
        first_job = runs[0].first_job
        try:
            runs += [bench.start_run(["/s:" + PATTERN], settings=settings(), timeout=400,
                                     settings_name="several-%d" % i,
                                     job_numbers_from=1000 * i)
                     for i in (1, 2)]
            for running in runs:
                running.dump(SPOOLER_TITLE, timeout=90)
            start_writers(spool, 25)

            def converting():
                window = runs[0].dump(SPOOLER_TITLE, timeout=60)
                return any(c["id"] == 1051 and c["text"] == "Running conversion program..."
                           for c in window["controls"])
            bench_module.wait_for(converting, 90, "the first instance to take a file", 0.2)
            runs.pop(0).abort()
            drop_files(spool, plain[50:], 0)
            spool.finish_writers()
            bench_module.wait_for(spool.drained, 150, "the spool directory to drain")
            for running in runs:
                running.command(IDC_EXIT, title=SPOOLER_TITLE)
        except BaseException:
            for running in runs:
                running.abort()
            raise
        results = [running.wait() for running in runs]
        for result in results:
            self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
            self.assertEqual(result.exit_code, 0)
        log = bench.read_text(victim_log) or ""
        # The last file it logged is the one it held when it was killed.
        taken = re.findall(r"([^\\\s]+\.prn) \*", log)
        self.assertTrue(taken, log)
        self.assertIn(taken[-1], spool.expected)
        jobs = bench.wait_jobs(first_job, timeout=120)
        assert_each_printed_once(self, spool, jobs)
        self.assertEqual([result.boxes for result in results], [[], []])


class SpoolerOutcomeTest(unittest.TestCase):
    def test_files_that_did_not_print_stay_and_failed_ones_are_tried_again(self):
        spool = spool_directory("outcome")
        keys = settings(EnableTextPrint=-1)  # text files are left out
        keys["Settings List"]["Tiny"] = 1  # and ".tiny" files print too small: message 15
        keys["Tiny"] = {"ShowPrintDlg": 0, "FileTypes": ".tiny;", "EnableTextPrint": 1,
                        "SizeOp": 0, "Height": 100, "Lines": 500}
        # ".self" files go to a conversion program that prints by itself, and fails.
        keys["Settings List"]["Self"] = 1
        keys["Self"] = {"ShowPrintDlg": 0, "FileTypes": ".self;", "DoConvBin": 1,
                        "ConvComBin": CONVERTER + "?--exit 3 &i &o", "ConvPrintBin": 1}
        printed = b"\x1bE printer data\x0c"
        left = {"b.txt": b"left out by its set\r\n", "c.tiny": b"too small to print\r\n",
                "d.self": b"\x1bE not printed by its converter\x0c"}
        for name, data in dict(left, **{"a.prn": printed}).items():
            with open(os.path.join(spool.unix, name), "wb") as f:
                f.write(data)
        too_small = ("Ravlen Error",
                     "The current settings renders a text height which is too small")
        failed = ("Ravlen Error",
                  "The conversion program ended with exit code 3; nothing has been printed")
        log = "C:\\tests\\outcome.log"
        bench.remove(log)
        running = bench.start_run(["/l:" + log, "/e", "/s:" + SPOOL + "\\*.*"], settings=keys,
                                  timeout=120, log=log)

        def attempts():
            text = bench.read_text(log) or ""
            return min(text.count("Start printing: %s\\%s" % (SPOOL, name))
                       for name in ("c.tiny", "d.self"))
        try:
            # The failed files are tried again; what they said is shown once.
            bench_module.wait_for(lambda: attempts() >= 2, 90, "two attempts at the failed files")
            running.command(IDC_EXIT, title=SPOOLER_TITLE)
        except BaseException:
            running.abort()
            raise
        result = running.wait()
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(sorted(result.boxes), sorted([too_small, failed]))
        self.assertEqual(result.jobs, [("Ravlen - a.prn", printed)])
        self.assertEqual(spool.left(), sorted(left))
        for name, data in left.items():
            with open(os.path.join(spool.unix, name), "rb") as f:
                self.assertEqual(f.read(), data, name)

    def test_exit_during_a_scan_ends_the_program_and_leaves_the_files_not_yet_printed(self):
        spool = spool_directory("exit")
        for name in ("a.prn", "b.prn", "c.prn"):
            spool.drop(name)
        keys = settings(DoConvBin=1, ConvComBin=CONVERTER + "?--sleep 15000 &i &o")
        running = bench.start_run(["/s:" + PATTERN], settings=keys, timeout=120)
        try:
            def converting():
                window = running.dump(SPOOLER_TITLE, timeout=60)
                return any(c["id"] == 1051 and c["text"] == "Running conversion program..."
                           for c in window["controls"])
            bench_module.wait_for(converting, 60, "the first file to be converted", 0.2)
            running.command(IDC_EXIT, title=SPOOLER_TITLE)
        except BaseException:
            running.abort()
            raise
        result = running.wait()
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [])
        self.assertEqual(spool.left(), ["a.prn", "b.prn", "c.prn"])


class ProgressWindowTest(unittest.TestCase):
    def run_batch(self, names, interact, **keys):
        paths = []
        for name in names:
            data = bench_module.SpoolDirectory.content(name)
            paths.append(bench.put_file("C:\\tests\\progress\\" + name, data))
        values = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "ProgrBar": 1, "SysTray": 0,
                  "DoConvBin": 1, "ConvComBin": CONVERTER + "?--sleep 15000 &i &o"}
        values.update(keys)
        bench.remove("C:\\tests\\progress\\x")
        result = bench.run(paths, interact=interact, timeout=60,
                           settings={"General": {"Version": "2.1.5"},
                                     "Settings List": {"Default settings": 1},
                                     "Default settings": values})
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        return paths, result

    def test_stop_in_the_main_window_during_the_first_of_three_files_ends_the_batch(self):
        seen = {}

        def interact(running):
            seen["progress"] = running.dump("Printing first.prn")
            started = time.monotonic()
            running.command(IDC_STOP, title="Ravlen")
            seen["closed"] = window_gone(running, "Printing")
            seen["stopped in"] = time.monotonic() - started
            running.command(IDC_EXIT, title="Ravlen")

        paths, result = self.run_batch(["first.prn", "second.txt", "third.txt"], interact)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])
        self.assertTrue(seen["closed"], "the progress window stayed")
        self.assertLess(seen["stopped in"], 10)
        controls = {c["id"]: c for c in seen["progress"]["controls"]}
        self.assertEqual(controls[1057]["text"], "File 1 of 3")
        self.assertTrue(controls[1057]["visible"])
        self.assertEqual(controls[1058]["text"], "")  # no share known while converting
        self.assertEqual(controls[IDC_STOP]["text"], "&Cancel")

    def test_cancel_in_the_progress_window_during_the_second_file_ends_the_batch(self):
        seen = {}

        def interact(running):
            seen["progress"] = running.dump("Printing second.prn")
            time.sleep(0.5)
            shot("progress-window")
            running.command(IDC_STOP, title="Printing second.prn")
            seen["closed"] = window_gone(running, "Printing")
            seen["main"] = running.dump("Ravlen")
            running.command(IDC_EXIT, title="Ravlen")

        paths, result = self.run_batch(["first.txt", "second.prn", "third.txt"], interact)
        self.assertEqual(result.boxes, [])
        self.assertEqual([(t, d) for t, d in result.jobs],
                         [("Ravlen - first.txt", bench.read_file(paths[0]))])
        self.assertTrue(seen["closed"], "the progress window stayed")
        controls = {c["id"]: c for c in seen["progress"]["controls"]}
        self.assertEqual(seen["progress"]["title"], "Printing second.prn")
        self.assertEqual(controls[1057]["text"], "File 2 of 3")
        status = [c["text"] for c in seen["main"]["controls"] if c["id"] == 1051]
        self.assertEqual(status, ["Idle"])


if __name__ == "__main__":
    unittest.main()
