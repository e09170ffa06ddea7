"""End-to-end tests of the console program ravlenc.exe under Wine: a batch of every kind with
one that fails, standard input, the spooler until Ctrl+C, and messages on standard error with
no window at any time. Run through run_tests.py (ctest: e2e)."""

import os
import signal
import subprocess
import time
import unittest

import bench as bench_module

bench = None

DIR = "C:\\tests\\console\\"
CONVERTER = "C:\\tests\\conv\\converter.exe"
PRINTER_DATA = b"\x1bE\x1b&l0O printer-ready data\x0c"
DOCUMENT = (b"%!PS-Adobe-3.0\n%%Pages: 2\n%%EndProlog\n"
            b"%%Page: 1 1\nshowpage\n%%Page: 2 2\nshowpage\n%%EOF\n")


def setUpModule():
    global bench
    bench = bench_module.shared_bench()
    bench.put_test_converter(CONVERTER)


def ravlenc():
    return os.path.join(os.path.dirname(bench.ravlen), "ravlenc.exe")


def settings(**keys):
    values = {"ShowPrintDlg": 0, "ProgrBar": 1, "EnablePrefsDD": 1}
    values.update(keys)
    return {"Settings List": {"Default settings": 1, "Slow": 1},
            "Default settings": values,
            # Files of this kind go through a conversion program that takes its time.
            "Slow": {"FileTypes": ".slow", "DoConvTxt": 1,
                     "ConvComTxt": CONVERTER + "?--sleep 60000 &i &o"}}


def lines(text):
    return [line for line in text.replace("\r\n", "\n").split("\n") if line]


class ConsoleTest(unittest.TestCase):
    def put(self, name, data):
        return bench.put_file(DIR + name, data)

    def run_console(self, args, stdin=b"", timeout=90, **keys):
        """Runs ravlenc with the test's settings; (exit code, stdout lines, stderr lines)."""
        ini = bench.write_settings("console", settings(**keys))
        argv = [bench_module.WINE, bench_module.unix_to_windows(ravlenc()), "/i:" + ini] + args
        done = subprocess.run(argv, env=bench.env, input=stdin, capture_output=True,
                              timeout=timeout)
        return (done.returncode, lines(done.stdout.decode("utf-8")),
                lines(done.stderr.decode("utf-8")))

    def test_a_batch_of_every_kind_with_one_that_fails(self):
        text, ps = self.put("notes.txt", b"line one\r\nline two\r\n"), self.put("doc.ps", DOCUMENT)
        raw, missing = self.put("label.prn", PRINTER_DATA), DIR + "missing.txt"
        first = len(bench.jobs())
        code, out, err = self.run_console([text, missing, ps, raw])
        self.assertEqual(code, 1)
        jobs = bench.wait_jobs()[first:]
        self.assertEqual(len(jobs), 3, jobs)
        raw_bytes = len(PRINTER_DATA)
        ps_bytes = len(jobs[1][1])
        self.assertEqual(out, ["printed: %s (text, 1 page)" % text,
                               "failed: %s" % missing,
                               "printed: %s (postscript, 2 pages, %d bytes)" % (ps, ps_bytes),
                               "printed: %s (raw, %d bytes)" % (raw, raw_bytes)])
        self.assertEqual(err, ["ravlenc: error: Could not open %s No such file or directory"
                               % missing])
        self.assertEqual(jobs[2][1], PRINTER_DATA)

    def test_standard_input_piped_in(self):
        first = len(bench.jobs())
        for args in (["-"], ["/j", "/-:piped.txt"]):
            with self.subTest(args=args):
                code, out, err = self.run_console(args, stdin=b"from a pipe\r\n")
                self.assertEqual((code, err), (0, []))
                self.assertEqual(len(out), 1, out)
        self.assertTrue(out[0].startswith('{"outcome":"printed","name":"'), out)
        self.assertTrue(out[0].endswith('piped.txt","kind":"text","pages":1,"sheets":1}'), out)
        self.assertEqual(len(bench.wait_jobs()[first:]), 2)

    def test_the_spooler_serves_until_ctrl_c_and_leaves_the_file_in_hand(self):
        spool = DIR + "spool\\"
        bench.remove(spool + "left.slow")
        log = DIR + "spool.log"
        self.put("spool\\first.prn", PRINTER_DATA)
        self.put("spool\\left.slow", b"slowly converted")
        ini = bench.write_settings("console", settings(EnableSpooler=1))
        argv = [bench_module.WINE, bench_module.unix_to_windows(ravlenc()), "/i:" + ini,
                "/e", "/l:" + log, "/s:" + spool + "*.*"]
        process = subprocess.Popen(argv, env=bench.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        try:
            # Ctrl+C once the converter is busy with the file in hand.
            bench_module.wait_for(lambda: b"left.slow" in (bench.read_file(log) or b""), 90,
                                  "the spooler to take left.slow")
            time.sleep(1)
            process.send_signal(signal.SIGINT)
            out, err = process.communicate(timeout=60)
        finally:
            if process.poll() is None:
                process.kill()
        self.assertEqual(process.returncode, 1)
        self.assertEqual(lines(err.decode("utf-8")), [])
        self.assertEqual(lines(out.decode("utf-8")),
                         ["printed: %sfirst.prn (raw, %d bytes)" % (spool, len(PRINTER_DATA)),
                          "not printed: %sleft.slow" % spool])
        self.assertTrue(os.path.exists(bench.unix_path(spool + "left.slow")))
        self.assertFalse(os.path.exists(bench.unix_path(spool + "first.prn")))
        self.assertTrue(lines(bench.read_text(log))[-1].startswith("-- Ravlen stopped * "))

    def test_a_failure_shows_no_box_and_creates_no_window(self):
        # The windows program shows these as boxes; here nothing waits for a click, and
        # neither the settings dialog nor the progress window is shown.
        text = self.put("shown.txt", b"text\r\n")
        empty = self.put("empty.txt", b"")
        ini = bench.write_settings("console", settings())
        result = bench.run(["/i:" + ini, DIR + "none.txt", text], stdin=empty,
                           program=bench_module.unix_to_windows(ravlenc()), timeout=60)
        self.assertEqual(result.exit_code, 1)
        self.assertEqual(len(lines(result.stdout)), 2, result.stdout)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.windows, [])
        self.assertTrue(result.hooked, result)


if __name__ == "__main__":
    unittest.main()
