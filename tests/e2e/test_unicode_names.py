"""End-to-end tests of file names that the ANSI code page cannot hold: ravlen.exe under Wine
prints files named in Greek, in Chinese and with an emoji from each source (the command line,
a UTF-8 list file, the spooler directory, a drop, a conversion program, Unicode clipboard
text), and shows each name in the job's title and in the page header. Run through
run_tests.py."""

import os
import shutil
import subprocess
import unittest

import bench as bench_module
from test_text import extracted_pages, squeeze

bench = None

HERE = os.path.dirname(os.path.abspath(__file__))
DIR = "C:\\tests\\unicode\\"
NAMES = ["\u0391\u03b8\u03ae\u03bd\u03b1.txt", "\u6587\u4ef6.txt", "smile \U0001F600.txt"]
FONT = "DejaVu Sans Mono"
CONVERTER = "C:\\tests\\conv\\converter.exe"
IDC_EXIT = 2
IDC_STATUS_TEXT = 1051
SPOOL = "C:\\tests\\unicode-spool"
SPOOLER_TITLE = "Ravlen Spooler - Default settings"


def setUpModule():
    global bench
    if not shutil.which("gs"):
        raise unittest.SkipTest("Ghostscript (gs) is not installed")
    if not os.path.isfile(bench_module.MONO_FONT):
        raise unittest.SkipTest("DejaVu Sans Mono is not installed")
    bench = bench_module.shared_bench()
    bench.put_test_converter(CONVERTER)


def settings(**keys):
    """Text printing, one logical page a sheet, the header the file's name alone."""
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 1, "Landscape": 0, "Width": 1,
              "Height": 1, "Frame": 0, "SizeOp": 2, "Lines": 8, "Chars": 40, "TopMarg": 5,
              "BottomMarg": 5, "FontName": FONT, "HeaderStr": "&f"}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def content(name):
    return ("content of %s\r\n" % name).encode("utf-8")


def header_glyphs(ps):
    """The glyph names of the first run drawn: the header."""
    glyphs = []
    for line in ps.decode("latin-1").splitlines():
        line = line.strip()
        if line.endswith(" glyphshow"):
            glyphs.append(line.split()[0][1:])
        elif line.endswith(" moveto") and glyphs:
            break
    return glyphs


def units(name):
    """Glyphs the driver draws for a name: one for each UTF-16 unit."""
    return len(name.encode("utf-16-le")) // 2


class UnicodeNamesTest(unittest.TestCase):
    def run_ravlen(self, args, **options):
        options.setdefault("settings", settings())
        result = bench.run(args, **options)
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        return result

    def assertPrinted(self, jobs, names, prefix=""):
        """One job for each name, in order, whose page holds the file's content and whose
        header shows the name. The face has the Greek letters, which Ghostscript reads back;
        it has neither Chinese nor emoji, which the driver draws as its missing glyph, one
        for each character, where a name that had lost them would show question marks.
        (Wine hands the spooler a title with such letters garbled or as "Untitled", so the
        title is not checked here.)"""
        self.assertEqual(len(jobs), len(names), jobs)
        for (_, ps), name in zip(jobs, names):
            with self.subTest(name=name):
                pages = extracted_pages(ps)
                self.assertEqual(len(pages), 1)
                lines = [squeeze(line) for line in pages[0] if line.strip()]
                self.assertIn("content of", lines[1])
                glyphs = header_glyphs(ps)
                self.assertEqual(len(glyphs), units(name), glyphs)
                self.assertNotIn("question", glyphs)
                if name == NAMES[0]:
                    self.assertEqual(lines[0], name)
                    self.assertEqual(lines[1], prefix + "content of " + name)

    def put(self, folder, names=NAMES):
        return [bench.put_file(DIR + folder + "\\" + n, content(n)) for n in names]

    def test_command_line(self):
        result = self.run_ravlen(["/q"] + self.put("line"))
        self.assertPrinted(result.jobs, NAMES)

    def test_utf8_list_file(self):
        paths = self.put("list")
        for mark in (b"", b"\xef\xbb\xbf"):
            with self.subTest(mark=mark):
                listed = bench.put_file(DIR + "list\\files.lst",
                                        mark + "".join(p + "\r\n" for p in paths).encode())
                result = self.run_ravlen(["/q", "@" + listed])
                self.assertPrinted(result.jobs, NAMES)

    def test_spooler_directory_prints_each_once_then_deletes_it(self):
        spool = bench_module.SpoolDirectory(bench, SPOOL, "unicode")

        def interact(running):
            running.dump(SPOOLER_TITLE, timeout=60)
            for name in NAMES:
                bench.put_file(SPOOL + "\\" + name, content(name))
            bench_module.wait_for(lambda: not os.listdir(spool.unix), 90,
                                  "the spool directory to drain")
            bench.wait_jobs(running.first_job, len(NAMES), timeout=60)
            running.command(IDC_EXIT, title=SPOOLER_TITLE)

        result = self.run_ravlen(["/s:" + SPOOL + "\\*.txt"], timeout=180, interact=interact,
                                 settings=settings(EnableSpooler=1, SysTray=0))
        # In the order of the scan; the names' glyph counts tell the jobs apart.
        jobs = sorted(result.jobs, key=lambda job: len(header_glyphs(job[1])))
        self.assertPrinted(jobs, sorted(NAMES, key=units))
        self.assertEqual(os.listdir(spool.unix), [])

    def test_drop(self):
        compiler = shutil.which("cc") or shutil.which("gcc")
        if not compiler:
            self.skipTest("no host C compiler for the drop helper")
        tool = os.path.join(bench.work, "xdnd_drop")
        build = subprocess.run([compiler, "-O", "-o", tool, os.path.join(HERE, "xdnd_drop.c"),
                                "-lX11"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if build.returncode != 0:
            self.skipTest("drop helper not built: %s" % build.stdout.decode())
        paths = self.put("drop")

        def interact(running):
            main = running.dump("Ravlen", control=IDC_STATUS_TEXT)
            left, top, right, bottom = main["rect"]
            drop = subprocess.run([tool, str(left + 20), str(bottom - 12)] +
                                  [bench.unix_path(p) for p in paths], env=bench.env,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
            self.assertEqual(drop.returncode, 0, drop.stdout.decode())
            bench.wait_jobs(running.first_job, len(NAMES))
            running.command(IDC_EXIT, control=IDC_STATUS_TEXT)

        result = self.run_ravlen([], interact=interact, settings=settings(SysTray=0))
        self.assertPrinted(result.jobs, NAMES)

    def test_conversion_program_opens_each_by_its_name(self):
        # The converter copies the file it is given after a prefix; a name that had lost its
        # letters would open nothing and be reported.
        keys = settings(DoConvTxt=1, ConvComTxt=CONVERTER + "?--prefix conv: &i &o")
        result = self.run_ravlen(["/q"] + self.put("conv"), settings=keys)
        self.assertPrinted(result.jobs, NAMES, prefix="conv:")

    def test_settings_file_named_outside_ascii_is_read(self):
        # The settings file keeps the ANSI calls: a name the code page holds reaches them in
        # it, a Greek one through its short name. Its set prints text with the name as header.
        path = self.put("ini", NAMES[:1])[0]
        for name in ("r\u00e9glages", "\u03c1\u03c5\u03b8\u03bc\u03af\u03c3\u03b5\u03b9\u03c2"):
            with self.subTest(settings=name):
                result = self.run_ravlen(["/q", path], settings_name=name)
                self.assertPrinted(result.jobs, NAMES[:1])

    def test_unicode_clipboard_text(self):
        # Text in the three scripts prints in its own characters; the Greek line is read back.
        text = "".join("%s\r\n" % n for n in NAMES)
        source = bench.put_file(DIR + "clip\source.txt", text.encode("utf-8"))
        bench.winauto("clip", "--file", source, "--unicode")
        result = self.run_ravlen(["/c"], settings=settings(HeaderStr=""))
        self.assertEqual(len(result.jobs), 1, result.jobs)
        lines = [squeeze(line) for line in extracted_pages(result.jobs[0][1])[0] if line.strip()]
        self.assertEqual(lines[0], NAMES[0])
        self.assertEqual(len(lines), 3, lines)


SET_NAME = "B\u00fcro"


def set_settings():
    """A set whose name holds a letter beyond ASCII, which the settings file keeps in its ANSI
    code page: only it allows spooler mode, and it prints on the other printer."""
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1, SET_NAME: 1},
            "Default settings": {"ShowPrintDlg": 0, "EnableTextPrint": 0},
            SET_NAME: {"ShowPrintDlg": 0, "EnableTextPrint": 0, "EnableSpooler": 1, "SysTray": 0,
                       "PrinterName": bench_module.OTHER_PRINTER}}


class SetNameBeyondAsciiTest(unittest.TestCase):
    """/n: brings the set's name in UTF-8 and the settings file holds it in the ANSI code page:
    the set is found from the command line and in spooler mode."""

    def test_command_line_prints_with_the_set(self):
        data = b"\x1bE printed with the set\x0c"
        path = bench.put_file(DIR + "set\\a.prn", data)
        result = bench.run(["/n:" + SET_NAME, "/q", path], settings=set_settings())
        self.assertEqual((result.exit_code, result.boxes), (0, []))
        self.assertEqual(result.other_jobs, [("Ravlen - a.prn", data)])
        self.assertEqual(result.jobs, [])

    def test_spooler_mode_starts_with_the_set_and_prints_on_its_printer(self):
        spool = bench_module.SpoolDirectory(bench, SPOOL + "-set", "set")
        title = "Ravlen Spooler - " + SET_NAME
        data = b"\x1bE spooled with the set\x0c"

        def interact(running):
            running.dump(title, timeout=60)
            bench.put_file(SPOOL + "-set\\b.prn", data)
            bench_module.wait_for(lambda: not os.listdir(spool.unix), 90,
                                  "the spool directory to drain")
            running.command(IDC_EXIT, title=title)

        result = bench.run(["/n:" + SET_NAME, "/s:" + SPOOL + "-set\\*.prn"], interact=interact,
                           timeout=180, settings=set_settings())
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual((result.exit_code, result.boxes), (0, []))
        self.assertEqual(result.other_jobs, [("Ravlen - b.prn", data)])


if __name__ == "__main__":
    unittest.main()
