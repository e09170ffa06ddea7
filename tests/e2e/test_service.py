"""End-to-end tests of unattended printing: "ravlen /service install" registers ravlensvc.exe
with Wine's service manager, which starts it as a service; it serves a spool directory with
nobody at the screen, moves a file that will not print into the failed directory, stops when
asked with the file in hand left in place, and goes again with "/service uninstall".

A service under Wine runs in a window station of its own, where no window of it could be seen;
that no message waits for a click shows in what it goes on doing: a message box would hold the
scan, and neither the files after it nor the failed file's move would come. Run through
run_tests.py; the tests of the class run in order."""

import os
import re
import subprocess
import time
import unittest

import bench as bench_module

bench = None
keeper = None

NAME = "Office"
SERVICE = "Ravlen-" + NAME
TESTS = "C:\\tests"
SPOOL = TESTS + "\\svc-spool"
FAILED = TESTS + "\\failed"  # beside the spool directory
INI = TESTS + "\\service.ini"
CONVERTER = TESTS + "\\conv\\converter.exe"
LOG = "C:\\ProgramData\\Ravlen\\%s.log" % NAME
LIST_TITLE = "Ravlen services"

SETTINGS = """[General]
Version=2.1.5
[Settings List]
Default settings=1
Broken=1
Slow=1
[Default settings]
EnableSpooler=1
ShowPrintDlg=1
ProgrBar=1
[Broken]
FileTypes=.bad;
ShowPrintDlg=1
DoConvTxt=1
ConvComTxt={converter}?--empty &i &o
DoConvBin=1
ConvComBin={converter}?--empty &i &o
SpoolRetries=3
[Slow]
FileTypes=.slow;
DoConvBin=1
ConvComBin={converter}?--sleep 120000 &i &o
""".format(converter=CONVERTER)

TEXT = b"A letter for the service\r\nprinted with nobody at the screen\r\n"
POSTSCRIPT = (b"%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%Page: 1 1\n"
              b"/Courier findfont 12 scalefont setfont 72 720 moveto (served) show showpage\n"
              b"%%EOF\n")
RAW = b"\x1bE\x1b&l0O printer-ready data for the service\x0c\x1bE"
BROKEN = b"this converts to nothing\r\n"


def setUpModule():
    global bench, keeper
    bench = bench_module.shared_bench()
    if not bench.put_test_converter(CONVERTER):
        raise unittest.SkipTest("no converter.exe in the build")
    if not os.path.exists(os.path.join(os.path.dirname(bench.ravlen), "ravlensvc.exe")):
        raise unittest.SkipTest("no ravlensvc.exe beside ravlen.exe")
    # Wine ends its services once no other program of the prefix runs: this one waits for
    # its input until the module is done.
    keeper = subprocess.Popen([bench_module.WINE, "cmd"], env=bench.env, stdin=subprocess.PIPE,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    bench.put_file(INI, SETTINGS.replace("\n", "\r\n"))
    for path in (SPOOL, FAILED, "C:\\ProgramData\\Ravlen"):
        bench.remove(path)
    os.makedirs(bench.unix_path(SPOOL))


def tearDownModule():
    if bench and sc("query")[0] == 0:
        bench.run(["/service", "uninstall", NAME], timeout=90)
    if keeper:
        keeper.stdin.close()
        try:
            keeper.wait(timeout=30)
        except subprocess.TimeoutExpired:
            keeper.kill()


def sc(*argv):
    """Wine's sc on the service: (exit code, output)."""
    process = subprocess.run([bench_module.WINE, "sc", argv[0], SERVICE] + list(argv[1:]),
                             env=bench.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             stdin=subprocess.DEVNULL, timeout=120)
    return process.returncode, process.stdout.decode("utf-8", errors="replace")


def state():
    """The service's state as sc reports it ("RUNNING", "STOPPED"...), None when it has none."""
    code, out = sc("query")
    m = re.search(r"STATE\s*:\s*\d+\s+(\w+)", out)
    return m.group(1) if code == 0 and m else None


def reg(key, value=None):
    argv = ["reg", "query", key] + (["/v", value] if value else [])
    return bench.wine(*argv, check=False)


def log_text():
    return bench.read_text(LOG) or ""


def drop(name, data):
    """Written elsewhere and renamed into the directory, as a careful writer does."""
    staged = os.path.join(bench.unix_path(TESTS), "." + name)
    with open(staged, "wb") as f:
        f.write(data)
    os.rename(staged, os.path.join(bench.unix_path(SPOOL), name))


def left():
    return sorted(os.listdir(bench.unix_path(SPOOL)))


class ServiceTest(unittest.TestCase):
    def test_1_install_registers_the_service_with_absolute_paths(self):
        # Relative names, from the directory the command runs in.
        result = bench.run(["/service", "install", NAME, "/s:svc-spool\\*.*", "/i:.\\service.ini",
                            "/e"], cwd=bench.unix_path(TESTS), timeout=90)
        self.assertEqual(result.exit_code, 0, result)
        self.assertEqual(result.boxes, [(LIST_TITLE, "The service %s has been installed; it "
                                         "starts with Windows, or when it is started by hand"
                                         % SERVICE)])
        key = "HKLM\\System\\CurrentControlSet\\Services\\" + SERVICE
        config = reg(key)
        self.assertRegex(config, r"Start\s+REG_DWORD\s+0x2\b")  # automatic
        self.assertRegex(config, r"DisplayName\s+REG_SZ\s+Ravlen spooler %s" % NAME)
        self.assertRegex(config, r"ObjectName\s+REG_SZ\s+NT AUTHORITY\\LocalService")
        self.assertRegex(config, r"Description\s+REG_SZ\s+Prints the files matching %s"
                         % re.escape(SPOOL + "\\*.*"))
        binary = re.search(r"ImagePath\s+REG_\w+\s+(.*)", config).group(1)
        self.assertIn("ravlensvc.exe\"", binary)
        for qualifier in ('"/i:%s"' % INI, '"/s:%s\\*.*"' % SPOOL, '"/e"'):
            self.assertIn(qualifier, binary)
        source = reg("HKLM\\System\\CurrentControlSet\\Services\\EventLog\\Application\\Ravlen",
                     "EventMessageFile")
        self.assertIn("ravlensvc.exe", source)
        self.assertEqual(state(), "STOPPED")

        again = bench.run(["/service", "install", NAME, "/s:C:\\other\\*.*"], timeout=60)
        self.assertEqual(again.exit_code, 1)
        self.assertEqual(again.boxes, [("Ravlen Error", "The service %s exists already"
                                        % SERVICE)])
        self.assertIn('"/s:%s\\*.*"' % SPOOL,
                      reg("HKLM\\System\\CurrentControlSet\\Services\\" + SERVICE, "ImagePath"))

    def test_2_it_prints_each_file_once_and_moves_one_that_will_not_print(self):
        first = bench._next_job_id()
        drop("a.txt", TEXT)
        drop("b.ps", POSTSCRIPT)
        drop("c.prn", RAW)
        drop("x.bad", BROKEN)
        started = time.monotonic()
        code, out = sc("start")
        self.assertEqual(code, 0, out)
        bench_module.wait_for(lambda: state() == "RUNNING", 60, "the service to run")
        bench_module.wait_for(lambda: left() == ["x.bad"], 90, "the good files to print")
        jobs = bench.wait_jobs(first, 3, timeout=60)
        self.assertEqual(sorted(title for title, _ in jobs),
                         ["Ravlen - a.txt", "Ravlen - b.ps", "Ravlen - c.prn"])
        data = dict(jobs)
        self.assertEqual(data["Ravlen - c.prn"], RAW)
        self.assertIn(b"(served) show", data["Ravlen - b.ps"])
        self.assertIn(b"%!PS", data["Ravlen - a.txt"])  # typeset on the driver's device

        # Tried after 5 s and 10 s more, then moved, whole, beside its reason.
        moved = bench.unix_path(FAILED + "\\x.bad")
        bench_module.wait_for(lambda: os.path.exists(moved + ".reason.txt"), 90,
                              "the failed file to be moved")
        self.assertLess(time.monotonic() - started, 80)
        self.assertEqual(left(), [])
        self.assertEqual(bench.read_file(FAILED + "\\x.bad"), BROKEN)
        reason = bench.read_text(FAILED + "\\x.bad.reason.txt").splitlines()
        self.assertEqual(reason[0], "File: %s\\x.bad" % SPOOL)
        self.assertRegex(reason[1], r"^Time: \w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}$")
        self.assertEqual(reason[2:], ["Attempts: 3", "Last message: Conversion failed"])
        self.assertEqual(bench.jobs(first)[3:], [])  # nothing of it printed

        text = log_text()
        self.assertTrue(text.startswith("-- Ravlen started * "), text)
        self.assertEqual(text.count("! Start printing: %s\\x.bad" % SPOOL), 3, text)
        self.assertEqual(text.count("* Conversion failed"), 1, text)  # reported once
        self.assertIn("* A file that could not be printed has been moved to %s\\x.bad, beside "
                      "a note of why" % FAILED, text)
        for name in ("a.txt", "b.ps", "c.prn"):
            self.assertEqual(text.count("! Done printing:  %s\\%s" % (SPOOL, name)), 1, name)

    def test_3_list_shows_its_state_and_pattern(self):
        result = bench.run(["/service", "list"], timeout=60)
        self.assertEqual(result.exit_code, 0, result)
        self.assertEqual(result.boxes, [(LIST_TITLE, "%s (running): %s\\*.*\n"
                                         % (SERVICE, SPOOL))])

    def test_4_a_stop_leaves_the_file_in_hand_and_is_reported_within_the_wait_hint(self):
        first = bench._next_job_id()
        drop("s.slow", RAW)
        bench_module.wait_for(lambda: "! Start printing: %s\\s.slow" % SPOOL in log_text(), 60,
                              "the slow file to be taken")
        time.sleep(1)  # its conversion program runs
        started = time.monotonic()
        code, out = sc("stop")
        self.assertEqual(code, 0, out)
        # sc shows the state it finds after asking: stop-pending with the hint the service
        # announced, or stopped already when the stop was quicker than sc.
        self.assertRegex(out, r"STATE\s*:\s*(3\s+STOP_PENDING|1\s+STOPPED)")
        hint = int(re.search(r"WAIT_HINT\s*:\s*0x([0-9a-fA-F]+)", out).group(1), 16) / 1000
        if "STOP_PENDING" in out:
            self.assertGreater(hint, 0)
        else:
            hint = 30  # the service's own stop wait hint
        bench_module.wait_for(lambda: state() == "STOPPED", hint + 30, "the service to stop")
        self.assertLess(time.monotonic() - started, hint)
        self.assertEqual(left(), ["s.slow"])
        self.assertEqual(bench.jobs(first), [])
        self.assertTrue(log_text().splitlines()[-1].startswith("-- Ravlen stopped * "))
        os.remove(os.path.join(bench.unix_path(SPOOL), "s.slow"))

    def test_5_it_refuses_to_start_while_users_may_change_its_settings(self):
        os.chmod(bench.unix_path(INI), 0o666)  # everyone may write it, as Wine sees it
        try:
            code, out = sc("start")
            bench_module.wait_for(lambda: state() == "STOPPED", 60, "the service to give up")
        finally:
            os.chmod(bench.unix_path(INI), 0o644)
        self.assertIn("* The service does not start: %s can be written by users other than "
                      "administrators, SYSTEM and the service's own account" % INI, log_text())
        self.assertRegex(sc("query")[1], r"WIN32_EXIT_CODE\s*:\s*1066")

    def test_6_uninstall_removes_it(self):
        result = bench.run(["/service", "uninstall", NAME], timeout=90)
        self.assertEqual(result.exit_code, 0, result)
        self.assertEqual(result.boxes, [(LIST_TITLE, "The service %s has been removed"
                                         % SERVICE)])
        self.assertIsNone(state())
        self.assertNotIn("EventMessageFile", reg(
            "HKLM\\System\\CurrentControlSet\\Services\\EventLog\\Application\\Ravlen"))
        result = bench.run(["/service", "list"], timeout=60)
        self.assertEqual(result.boxes, [(LIST_TITLE, "No Ravlen service is installed\n")])


if __name__ == "__main__":
    unittest.main()
