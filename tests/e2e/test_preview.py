"""End-to-end tests of print preview: ravlen.exe /v under Wine shows a file's sheets in the
preview window. The sheet shown is read back from the window's picture of it (its text records,
through winauto's hook) and compared with what the printed job holds, read by Ghostscript.
Screenshots of the window go to shots/ with the other tests' ones. Run through run_tests.py
(ctest: e2e)."""

import os
import re
import shutil
import time
import unittest

import bench as bench_module
from ghostscript import page_texts

bench = None

DIR = "C:\\tests\\preview\\"
TITLE = "Print Preview"
IDCANCEL = 2
IDOK = 1
IDC_PAGES_ODD = 2503
IDC_PREVIEW_NEXT = 2703
IDC_PREVIEW_PAGES, IDC_PREVIEW_PRINT, IDC_PREVIEW_STATUS = 2708, 2709, 2711
FILE_TIME = (2026, 12, 5, 14, 3, 0)
# Glyphs the driver shares between characters, read as what they stand for.
SHARED_GLYPHS = {0xA0: " ", 0xAD: "-", 0x37E: ";"}


def setUpModule():
    global bench
    if not shutil.which("gs"):
        raise unittest.SkipTest("Ghostscript (gs) is not installed")
    bench = bench_module.shared_bench()


def shots_dir():
    build = os.path.dirname(os.path.dirname(os.path.abspath(bench.ravlen)))
    return os.path.join(build, "tests", "e2e", "shots")


def settings(**keys):
    """One portrait page a sheet of few, large lines (as the text tests use), no printer
    dialog."""
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 1, "Landscape": 0, "Width": 1, "Height": 1,
              "Frame": 0, "SizeOp": 2, "Lines": 8, "Chars": 40, "TopMarg": 5, "BottomMarg": 5,
              "SysTray": 0}
    values.update(keys)
    return {"General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
            "Default settings": values}


def squeeze(line):
    return re.sub(r"\s+", " ", line.translate(SHARED_GLYPHS)).strip()


def sheet_lines(texts):
    """The runs of a sheet picture as lines: runs of one base line joined left to right."""
    rows = {}
    for x, y, text in texts:
        rows.setdefault(y, []).append((x, text))
    lines = [" ".join(text for _, text in sorted(runs)) for _, runs in sorted(rows.items())]
    return [squeeze(line) for line in lines if squeeze(line)]


class PreviewTest(unittest.TestCase):
    def status(self, running):
        window = running.dump(TITLE)
        return next(c["text"] for c in window["controls"] if c["id"] == IDC_PREVIEW_STATUS)

    def wait_status(self, running, pattern):
        return bench_module.wait_for(lambda: re.match(pattern, self.status(running)), 30,
                                     "the status %r" % pattern)

    def shot(self, running, name):
        window = running.dump(TITLE)
        path = bench.screenshot(os.path.join(shots_dir(), name), window["rect"])
        self.assertTrue(os.path.getsize(path) > 0, path)

    def test_text_sheets_are_the_printed_pages(self):
        # 20 lines at 8 a page: three sheets, each with the default header.
        path = bench.put_file(DIR + "notes.txt",
                              "".join("L%02d\r\n" % i for i in range(1, 21)).encode())
        stamp = time.mktime(FILE_TIME + (0, 0, -1))
        os.utime(bench.unix_path(path), (stamp, stamp))
        seen = {}

        def interact(running):
            self.wait_status(running, r"^Sheet 1 of 3$")
            self.shot(running, "preview_text.png")
            # Paged to with the keyboard, as a reader pages through.
            running.keys("PGDN", "PGDN", title=TITLE, window_class=None)
            self.wait_status(running, r"^Sheet 3 of 3$")
            seen["sheet"] = sheet_lines(running.sheet_texts(TITLE))
            running.command(IDC_PREVIEW_PRINT, title=TITLE)
            bench_module.wait_for(lambda: bench.jobs(running.first_job), 60, "the printed job")
            running.command(IDCANCEL, title=TITLE)

        result = bench.run(["/v", "/q", path], interact=interact, settings=settings())
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1, result)
        printed = [[squeeze(line) for line in page.splitlines() if squeeze(line)]
                   for page in page_texts(result.jobs[0][1])]
        self.assertEqual(len(printed), 3)
        self.assertEqual(seen["sheet"], printed[2])
        self.assertEqual(seen["sheet"][1:], ["L17", "L18", "L19", "L20"])
        self.assertRegex(seen["sheet"][0], r"^notes\.txt .* Page 3\(3\)$")

    def test_sheet_map_shows_the_chosen_pages_two_to_a_sheet(self):
        labels = ["i", "ii", "iii", "iv", "v"]
        body = "".join("%%%%Page: %s %d\nshowpage\n" % (label, n)
                       for n, label in enumerate(labels, 1))
        path = bench.put_file(DIR + "five.ps", ("%!PS-Adobe-3.0\n%%Pages: 5\n%%EndComments\n"
                                                + body + "%%Trailer\n%%EOF\n").encode())
        seen = {}

        def interact(running):
            self.wait_status(running, r"^Sheet 1 of 3 - page contents are not rendered$")
            running.command(IDC_PREVIEW_PAGES, title=TITLE)
            running.dump("Select Pages")
            running.command(IDC_PAGES_ODD, title="Select Pages")
            running.command(IDOK, title="Select Pages")
            self.wait_status(running, r"^Sheet 1 of 2 ")
            seen["first"] = [t for _, _, t in running.sheet_texts(TITLE)]
            self.shot(running, "preview_sheet_map.png")
            running.command(IDC_PREVIEW_NEXT, title=TITLE)
            self.wait_status(running, r"^Sheet 2 of 2 ")
            seen["second"] = [t for _, _, t in running.sheet_texts(TITLE)]
            running.command(IDCANCEL, title=TITLE)

        result = bench.run(["/v", "/q", path], interact=interact,
                           settings=settings(NUpPs=1, Width=2, Height=1, Landscape=1, Frame=1,
                                             UseRange=1, TopMarg=0.35, BottomMarg=0.35))
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])
        self.assertEqual(seen["first"], ["1", "i 1", "3", "iii 3"])
        self.assertEqual(seen["second"], ["5", "v 5"])


if __name__ == "__main__":
    unittest.main()
