"""End-to-end tests of the application shell: the command line, the activity log, the job
runner's batches and the main window, with ravlen.exe under Wine printing to the bench's
capture printer. Run through run_tests.py (ctest: e2e_shell)."""

import datetime
import os
import re
import unittest

import bench as bench_module

bench = None

WARNING = "Ravlen Warning"
ERROR = "Ravlen Error"
STAMP = (r"(?:Mon|Tue|Wed|Thu|Fri|Sat|Sun) (?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
         r"\d\d \d\d:\d\d:\d\d \d{4}")
START_LINE = re.compile(r"^-- Ravlen started \* (" + STAMP + r")$")
STOP_LINE = re.compile(r"^-- Ravlen stopped \* (" + STAMP + r")$")


def setUpModule():
    global bench
    bench = bench_module.shared_bench()


def settings(**keys):
    """A settings file whose default set prints without asking: no printer dialog, text sent
    to the printer unchanged, so that captured jobs can be compared with the files."""
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "EnableSpooler": 1}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def text_file(name, lines):
    return ("\r\n".join("%s line %d: %s" % (name, i, text) for i, text in enumerate(lines, 1))
            + "\r\n").encode("cp1252")


class ShellTestCase(unittest.TestCase):
    def run_ravlen(self, args, **options):
        options.setdefault("settings", settings())
        result = bench.run(args, **options)
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        return result

    def assertLogStamp(self, stamp):
        """Time stamps are local time in the C library's fixed form, and of this run."""
        when = datetime.datetime.strptime(stamp, "%a %b %d %H:%M:%S %Y")
        self.assertLess(abs((datetime.datetime.now() - when).total_seconds()), 300, stamp)

    def log_records(self, text):
        """The log's records; a record whose text holds line feeds spans several lines."""
        self.assertIsNotNone(text, "no activity log written")
        records = []
        for line in text.split("\n")[:-1]:
            if records and not re.search(r" \* " + STAMP + "$", records[-1]):
                records[-1] += "\n" + line
            else:
                records.append(line)
        self.assertTrue(text.endswith("\n"), "log does not end with a line end: %r" % text)
        return records

    def assertNotOpened(self, box, path):
        self.assertEqual(box[0], ERROR)
        self.assertRegex(box[1], "^Could not open " + re.escape(path) + r" \n\S.*$")


class CommandLineTest(ShellTestCase):
    def test_quit_alone_ends_at_once_without_a_window(self):
        result = self.run_ravlen(["/q"])
        self.assertEqual(result.exit_code, 0)
        self.assertTrue(result.hooked, "window shows not watched")
        self.assertEqual(result.windows, [])
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])

    def test_faulty_qualifiers_are_reported_and_the_run_goes_on(self):
        cases = [
            (["/z"], (WARNING, 'Invalid qualifier "/z"')),
            (["/n"], (WARNING, "Qualifier /n must have a value, therfore ignored")),
            (["/n:"], (WARNING, "Qualifier /n: must have a value, therfore ignored")),
            (["/n:nosuch"], (WARNING, 'Settings "nosuch" not found')),
            (["/X1"], (WARNING, 'Invalid qualifier "/X1"')),
        ]
        for args, box in cases:
            with self.subTest(args=args):
                result = self.run_ravlen(args + ["/q"])
                self.assertEqual(result.boxes, [box])
                self.assertEqual(result.exit_code, 0)

    def test_qualifiers_act_in_order_given(self):
        result = self.run_ravlen(["/n:nosuch", "/z", "/l", "/q"])
        self.assertEqual(result.boxes, [
            (WARNING, 'Settings "nosuch" not found'),
            (WARNING, 'Invalid qualifier "/z"'),
            (WARNING, "Qualifier /l must have a value, therfore ignored"),
        ])
        self.assertEqual(result.exit_code, 0)

    def test_spooler_mode_refused_when_not_enabled(self):
        log = "C:\\tests\\spool\\refused.log"
        bench.remove(log)
        result = self.run_ravlen(["/l:" + log, "/s:C:\\tests\\spool\\*.prn"],
                                 settings=settings(EnableSpooler=0), log=log)
        self.assertEqual(result.boxes, [(ERROR, "Spooler function is not enabled")])
        self.assertEqual(result.exit_code, 1)
        self.assertEqual([w for w in result.windows if w[1] != ERROR], [])
        records = self.log_records(result.log)
        self.assertEqual(len(records), 2, records)
        self.assertRegex(records[0], START_LINE)
        self.assertRegex(records[1], r"^\* Spooler function is not enabled \* " + STAMP + "$")


class ActivityLogTest(ShellTestCase):
    def test_batch_writes_start_and_done_lines_per_file(self):
        a = bench.put_file("C:\\tests\\log\\a.txt", text_file("a", ["one"]))
        b = bench.put_file("C:\\tests\\log\\b.txt", text_file("b", ["two"]))
        log = "C:\\tests\\log\\run.log"
        bench.remove(log)
        result = self.run_ravlen(["/l:" + log, "/e", "/q", a, b], log=log)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 2)
        records = self.log_records(result.log)
        expected = [START_LINE,
                    "! Start printing: " + a, "! Done printing:  " + a,
                    "! Start printing: " + b, "! Done printing:  " + b]
        self.assertEqual(len(records), len(expected), records)
        for record, want in zip(records, expected):
            if isinstance(want, str):
                want = re.compile("^" + re.escape(want) + r" \* (" + STAMP + ")$")
            m = want.match(record)
            self.assertTrue(m, "%r does not match %r" % (record, want.pattern))
            self.assertLogStamp(m.group(1))

    def test_plus_appends_and_plain_name_starts_afresh(self):
        log = "C:\\tests\\log\\append.log"
        bench.remove(log)
        for _ in range(2):
            result = self.run_ravlen(["/l:+" + log, "/q"], log=log)
            self.assertEqual(result.exit_code, 0)
        starts = self.log_records(result.log)
        self.assertEqual(len(starts), 2, starts)
        for record in starts:
            self.assertRegex(record, START_LINE)

        result = self.run_ravlen(["/l:" + log, "/q"], log=log)
        records = self.log_records(result.log)
        self.assertEqual(len(records), 1, records)
        self.assertRegex(records[0], START_LINE)

    def test_only_the_first_log_qualifier_counts(self):
        first, second = "C:\\tests\\log\\first.log", "C:\\tests\\log\\second.log"
        bench.remove(first)
        bench.remove(second)
        result = self.run_ravlen(["/l:" + first, "/l:" + second, "/q"], log=first)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(self.log_records(result.log)), 1)
        self.assertIsNone(bench.read_file(second))

    def test_echo_without_log_uses_the_windows_directory_afresh(self):
        log = "C:\\windows\\ravlen.log"
        bench.put_file(log, "old line\r\n")
        result = self.run_ravlen(["/e", "/q"], log=log)
        self.assertEqual(result.exit_code, 0)
        records = self.log_records(result.log)
        self.assertEqual(len(records), 1, records)
        self.assertRegex(records[0], START_LINE)

    def test_missing_file_is_reported_and_logged_without_print_lines(self):
        missing = "C:\\tests\\log\\missing.txt"
        bench.remove(missing)
        log = "C:\\tests\\log\\missing.log"
        bench.remove(log)
        result = self.run_ravlen(["/l:" + log, "/e", "/q", missing], log=log)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1, result.boxes)
        self.assertNotOpened(result.boxes[0], missing)
        self.assertEqual(result.jobs, [])
        records = self.log_records(result.log)
        self.assertEqual(len(records), 2, records)
        self.assertRegex(records[0], START_LINE)
        self.assertRegex(records[1],
                         "^" + re.escape("* " + result.boxes[0][1]) + r" \* " + STAMP + "$")


class BatchTest(ShellTestCase):
    def test_list_file_prints_until_the_first_missing_entry(self):
        one = bench.put_file("C:\\tests\\list\\one.txt", text_file("one", ["alpha", "beta"]))
        two = bench.put_file("C:\\tests\\list\\two.txt", text_file("two", ["gamma"]))
        missing = "C:\\tests\\list\\missing.txt"
        bench.remove(missing)
        four = bench.put_file("C:\\tests\\list\\four.txt", text_file("four", ["delta"]))
        bench.put_file("C:\\tests\\list\\list.txt", "\r\n".join([one, two, missing, four, ""]))
        result = self.run_ravlen(["/q", "@C:\\tests\\list\\list.txt"])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1, result.boxes)
        self.assertNotOpened(result.boxes[0], missing)
        self.assertEqual([data for _, data in result.jobs],
                         [bench.read_file(one), bench.read_file(two)])
        self.assertTrue(result.jobs[0][0].endswith("one.txt"), result.jobs[0][0])
        self.assertTrue(result.jobs[1][0].endswith("two.txt"), result.jobs[1][0])

    def test_missing_file_ends_the_command_line_batch(self):
        first = bench.put_file("C:\\tests\\batch\\first.txt", text_file("first", ["x"]))
        missing = "C:\\tests\\batch\\missing.txt"
        bench.remove(missing)
        last = bench.put_file("C:\\tests\\batch\\last.txt", text_file("last", ["y"]))
        result = self.run_ravlen(["/q", first, missing, last])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1, result.boxes)
        self.assertNotOpened(result.boxes[0], missing)
        self.assertEqual([data for _, data in result.jobs], [bench.read_file(first)])

    def test_wildcard_prints_matches_in_alphabetical_order_regardless_of_case(self):
        upper = bench.put_file("C:\\tests\\w\\B.TXT", text_file("B", ["upper case name"]))
        lower = bench.put_file("C:\\tests\\w\\a.txt", text_file("a", ["lower case name"]))
        bench.put_file("C:\\tests\\w\\c.prn", b"not matched\r\n")
        result = self.run_ravlen(["/q", "C:\\tests\\w\\*.txt"])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.windows, [])  # hidden while printing too
        self.assertEqual(len(result.jobs), 2, result.jobs)
        self.assertTrue(result.jobs[0][0].endswith("a.txt"), result.jobs[0][0])
        self.assertTrue(result.jobs[1][0].endswith("B.TXT"), result.jobs[1][0])
        self.assertEqual([data for _, data in result.jobs],
                         [bench.read_file(lower), bench.read_file(upper)])

    def test_a_name_outside_the_code_page_prints_and_deletes_no_other_file(self):
        # The program of the ANSI code page would get "????????.txt" for eight Greek letters
        # that the code page has no look-alike for; as a pattern it would print, and under
        # /delete delete, any file of an eight-letter name. The wide command line names the
        # file itself.
        folder = "C:\\tests\\greek\\"
        other = bench.put_file(folder + "abcdefgh.txt", text_file("other", ["kept"]))
        greek = bench.put_file(folder + "\u03b3\u03b6\u03b7\u03b8\u03b9\u03ba\u03bb\u03bd.txt",
                               b"greek\r\n")
        result = self.run_ravlen(["/q", "/delete", greek])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual([data for _, data in result.jobs], [b"greek\r\n"])
        self.assertIsNotNone(bench.read_file(other))
        self.assertIsNone(bench.read_file(greek))

    def test_binary_file_reaches_the_printer_unchanged(self):
        data = bytes(range(256)) * 300 + b"\x1bE\x0c"  # more than one transfer chunk
        path = bench.put_file("C:\\tests\\raw\\page.prn", data)
        result = self.run_ravlen(["/q", path])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        self.assertEqual(result.jobs[0][0], "Ravlen - page.prn")
        self.assertEqual(result.jobs[0][1], data)


    def test_delete_removes_only_the_files_that_printed(self):
        # Text files are left out by the default set; the set of ".tiny" files makes text too
        # small to print (message 15), which ends the batch.
        sections = settings(EnableTextPrint=-1)
        sections["Settings List"]["Tiny"] = 1
        sections["Tiny"] = {"ShowPrintDlg": 0, "FileTypes": ".tiny;", "EnableTextPrint": 1,
                            "SizeOp": 0, "Height": 100, "Lines": 500}
        data = {"a.prn": b"\x1bE first\x0c", "b.txt": text_file("b", ["left out"]),
                "c.prn": b"\x1bE second\x0c", "d.tiny": text_file("d", ["too small"])}
        paths = [bench.put_file("C:\\tests\\delete\\" + name, bytes_)
                 for name, bytes_ in data.items()]
        result = self.run_ravlen(["/q", "/delete"] + paths, settings=sections)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [
            (ERROR, "The current settings renders a text height which is too small")])
        self.assertEqual(result.jobs, [("Ravlen - a.prn", data["a.prn"]),
                                       ("Ravlen - c.prn", data["c.prn"])])
        left = {p.rsplit("\\", 1)[1]: bench.read_file(p) for p in paths}
        self.assertEqual(left, {"a.prn": None, "b.txt": data["b.txt"], "c.prn": None,
                                "d.tiny": data["d.tiny"]})

    def test_printer_dialog_is_asked_once_per_batch(self):
        first = bench.put_file("C:\\tests\\dlg\\first.txt", text_file("first", ["1"]))
        second = bench.put_file("C:\\tests\\dlg\\second.txt", text_file("second", ["2"]))
        result = self.run_ravlen(["/q", first, second], settings=settings(ShowPrintDlg=1))
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.dialogs), 1, result.dialogs)
        self.assertEqual([data for _, data in result.jobs],
                         [bench.read_file(first), bench.read_file(second)])

        result = self.run_ravlen(["/q", first, second], settings=settings(ShowPrintDlg=1),
                                 print_dialog="CANCEL")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.dialogs), 1, result.dialogs)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])

    def test_quit_from_command_line_setting_prints_with_the_window_shown(self):
        path = bench.put_file("C:\\tests\\quit\\note.txt", text_file("note", ["z"]))
        result = self.run_ravlen([path], settings=settings(QuitFromComLine=1, SysTray=0))
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual([data for _, data in result.jobs], [bench.read_file(path)])
        self.assertTrue(any(title.startswith("Ravlen") for _, title in result.windows),
                        result.windows)


class MainWindowTest(ShellTestCase):
    def test_main_window_shows_idle_buttons_and_exits_on_command(self):
        seen = {}

        def interact(running):
            seen["window"] = running.dump("Ravlen")
            running.command(2)

        result = self.run_ravlen([], settings=settings(SysTray=0), interact=interact)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        buttons = {c["text"]: c for c in seen["window"]["controls"] if c["class"] == "Button"}
        for text in ("&Print File...", "S&ettings...", "&Help", "&About...", "E&xit"):
            self.assertIn(text, buttons)
            self.assertTrue(buttons[text]["enabled"], text)
            self.assertTrue(buttons[text]["visible"], text)
        self.assertIn("&Stop", buttons)
        self.assertFalse(buttons["&Stop"]["enabled"])

    def test_exit_command_writes_the_stop_line(self):
        log = "C:\\tests\\main\\exit.log"
        bench.remove(log)
        result = self.run_ravlen(["/l:" + log], log=log,
                                 interact=lambda running: running.command(2))
        self.assertEqual(result.exit_code, 0)
        records = self.log_records(result.log)
        self.assertEqual(len(records), 2, records)
        self.assertRegex(records[0], START_LINE)
        self.assertRegex(records[1], STOP_LINE)


if __name__ == "__main__":
    unittest.main()
