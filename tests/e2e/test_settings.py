"""End-to-end tests of settings files and sets: /i: and /n: on the command line, and the
settings set chosen by a file's extension inside a batch. The bench's second capture printer,
"other", makes the set in force visible: a set that names it sends its jobs there."""

import os
import re
import unittest

import bench as bench_module

bench = None


def setUpModule():
    global bench
    bench = bench_module.shared_bench()


# Both sets print without a dialog and send text unchanged, so jobs equal their files. SavePos
# in both sets shows at exit which set is current: the placement goes into its section.
COMMON = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "SavePos": 1}


def two_sets(other_keys=None):
    other = dict(COMMON, PrinterName="other")
    other.update(other_keys or {})
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1, "Other": 1},
            "Default settings": dict(COMMON),
            "Other": other}


def section_keys(text, section):
    """The keys of one section of an INI text."""
    keys, current = [], None
    for line in text.splitlines():
        line = line.strip()
        m = re.match(r"^\[(.*)\]$", line)
        if m:
            current = m.group(1)
        elif current == section and "=" in line:
            keys.append(line.split("=", 1)[0])
    return keys


class SettingsSetTest(unittest.TestCase):
    def setUp(self):
        self.files = {}
        for name in ("a.txt", "b.prn", "c.txt"):
            data = ("%s\r\n" % name).encode() * 20
            self.files[name] = data
            bench.put_file("C:\\tests\\sets\\" + name, data)

    def run_ravlen(self, args, sets, answers=()):
        result = bench.run(args, settings=sets, answers=answers)
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(result.exit_code, 0)
        return result

    def test_named_set_of_a_settings_file_is_used(self):
        result = self.run_ravlen(["/n:Other", "/q", "C:\\tests\\sets\\a.txt"], two_sets())
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.other_jobs, [("Ravlen - a.txt", self.files["a.txt"])])

    def test_unknown_set_warns_and_keeps_the_default_set(self):
        result = self.run_ravlen(["/n:Nosuch", "/q", "C:\\tests\\sets\\a.txt"], two_sets())
        self.assertEqual(result.boxes, [("Ravlen Warning", 'Settings "Nosuch" not found')])
        self.assertEqual(result.jobs, [("Ravlen - a.txt", self.files["a.txt"])])
        self.assertEqual(result.other_jobs, [])

    def test_set_bound_to_an_extension_prints_that_file_and_is_undone(self):
        sets = two_sets({"FileTypes": ".prn;"})
        result = self.run_ravlen(["/q", "C:\\tests\\sets\\a.txt", "C:\\tests\\sets\\b.prn",
                                  "C:\\tests\\sets\\c.txt"], sets)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - a.txt", self.files["a.txt"]),
                                       ("Ravlen - c.txt", self.files["c.txt"])])
        self.assertEqual(result.other_jobs, [("Ravlen - b.prn", self.files["b.prn"])])
        # After the batch the user's set is current again: the window placement saved at exit
        # lands in its section, not in the bound set's.
        ini = bench.read_text("C:\\tests\\run.ini")
        self.assertIn("DlgPos", section_keys(ini, "Default settings"))
        self.assertNotIn("DlgPos", section_keys(ini, "Other"))

    def test_each_file_is_classified_with_the_set_that_prints_it(self):
        # The user's set formats text; the set bound to .prn sends it unchanged to "other".
        sets = two_sets({"FileTypes": ".prn;"})
        sets["Default settings"]["EnableTextPrint"] = 1
        result = self.run_ravlen(["/q", "C:\\tests\\sets\\a.txt", "C:\\tests\\sets\\b.prn",
                                  "C:\\tests\\sets\\c.txt"], sets)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.other_jobs, [("Ravlen - b.prn", self.files["b.prn"])])
        self.assertEqual([title for title, _ in result.jobs], ["Ravlen - a.txt", "Ravlen - c.txt"])
        for title, data in result.jobs:
            # Formatted: the driver's PostScript, not the file's own bytes.
            self.assertTrue(data.startswith(b"%!"), title)

    def test_settings_file_without_path_lives_in_the_windows_directory(self):
        bench.put_file("C:\\windows\\bare.ini",
                       "[Settings List]\r\nDefault settings=1\r\nOther=1\r\n"
                       "[Default settings]\r\nShowPrintDlg=0\r\nEnableTextPrint=0\r\n"
                       "[Other]\r\nShowPrintDlg=0\r\nEnableTextPrint=0\r\nPrinterName=other\r\n")
        result = bench.run(["/i:bare.ini", "/n:Other", "/q", "C:\\tests\\sets\\a.txt"])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.other_jobs, [("Ravlen - a.txt", self.files["a.txt"])])


if __name__ == "__main__":
    unittest.main()
