"""End-to-end tests of a settings set's printer preferences (Sides, PaperSource, PaperSize,
ColorMode) through the bench's capture printer, which Wine's PostScript driver describes with its
generic printer: two-sided printing, six bins from "Automatically Select" to "Manual Feed",
fifteen papers and colour. A text file's job carries the driver's own code for what the set asks;
a PostScript job sent raw carries the program's request, which Ghostscript follows; the settings
dialog's page offers the printer's lists and saves the choice. Run through run_tests.py (ctest:
e2e_windows)."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest

import bench as bench_module
import test_dialogs
from test_dialogs import ID, SETTINGS_TITLE, control, screenshot, sections

bench = None

DIR = "C:\\tests\\prefs\\"
TITLE = "Print Preview"
PREFS_TITLE = "Printer Preferences"
WARNING = "Ravlen Warning"
# The generic printer's code for what the tests ask, as the driver writes it.
LONG_EDGE = b"<</Duplex true/Tumble false>>setpagedevice"
TRAY_2 = b"<</ManualFeed false /MediaPosition 0>>setpagedevice"
A5 = b"<</PageSize[420 595]/ImagingBBox null>>setpagedevice"
# A5 as the driver measures it, in hundredths of a millimetre.
A5_SHEET = (14850, 20990)


def setUpModule():
    global bench
    if not shutil.which("gs"):
        raise unittest.SkipTest("Ghostscript (gs) is not installed")
    bench = bench_module.shared_bench()
    test_dialogs.bench = bench  # for its screenshots


def settings(**keys):
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 1, "WarnNonPS": 0, "PSEOFChar": 0,
              "Landscape": 0, "Width": 1, "Height": 1, "Frame": 0, "SizeOp": 2, "Lines": 8,
              "Chars": 40, "SysTray": 0}
    values.update(keys)
    return {"General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
            "Default settings": values}


def duplex_report(ps):
    """What Ghostscript's page device says after the job, on a device that prints on both
    sides: Duplex, Tumble and the page size."""
    work = tempfile.mkdtemp(prefix="e2e-prefs-")
    try:
        job = os.path.join(work, "job.ps")
        query = os.path.join(work, "query.ps")
        with open(job, "wb") as f:
            f.write(ps)
        with open(query, "w") as f:
            f.write("currentpagedevice dup /Duplex get == dup /Tumble get ==\n"
                    "/PageSize get { cvi == } forall\n")
        out = subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sDEVICE=ljet4d",
                              "-r72", "-sOutputFile=/dev/null", job, query],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120,
                             check=True).stdout
        return out.decode("latin-1").split()
    finally:
        shutil.rmtree(work, ignore_errors=True)


class PreferencesTest(unittest.TestCase):
    def test_text_job_carries_the_drivers_code_and_the_preview_shows_its_paper(self):
        path = bench.put_file(DIR + "notes.txt",
                              "".join("L%02d\r\n" % i for i in range(1, 13)).encode())
        seen = {}

        def interact(running):
            bench_module.wait_for(
                lambda: re.match(r"^Sheet 1 of 2$", next(
                    c["text"] for c in running.dump(TITLE)["controls"]
                    if c["id"] == ID["IDC_PREVIEW_STATUS"])), 30, "the sheets")
            seen["picture"] = running.sheet_picture(TITLE)
            running.command(ID["IDC_PREVIEW_PRINT"], title=TITLE)
            bench_module.wait_for(lambda: bench.jobs(running.first_job), 60, "the printed job")
            running.command(ID["IDCANCEL"], title=TITLE)

        # The printer dialog is shown, as a user who prints from the preview sees it, and
        # confirmed as it opens: with the set's preferences.
        result = bench.run(["/v", "/q", path], interact=interact, settings=settings(
            ShowPrintDlg=1, Sides="two-sided-long-edge", PaperSource="Tray 2", PaperSize="A5"))
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1, result)
        ps = result.jobs[0][1]
        for code in (LONG_EDGE, TRAY_2, A5):
            self.assertIn(code, ps)
        left, top, right, bottom = seen["picture"]["frame"]
        self.assertAlmostEqual(right - left, A5_SHEET[0], delta=100)
        self.assertAlmostEqual(bottom - top, A5_SHEET[1], delta=100)

    def test_postscript_sent_raw_asks_for_two_sides_and_ghostscript_prints_them(self):
        document = (b"%!PS-Adobe-3.0\n%%Pages: 2\n%%EndComments\n"
                    b"%%Page: 1 1\n/Helvetica findfont 20 scalefont setfont\n"
                    b"72 72 moveto (one) show showpage\n"
                    b"%%Page: 2 2\n72 72 moveto (two) show showpage\n%%EOF\n")
        path = bench.put_file(DIR + "two.ps", document)
        result = bench.run(["/q", path], settings=settings(
            Sides="two-sided-long-edge", PaperSource="Tray 2", PaperSize="A5"))
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1, result)
        ps = result.jobs[0][1]
        self.assertTrue(ps.startswith(
            b"%!\n[{<</Duplex true /Tumble false>>setpagedevice}stopped cleartomark\n"
            b"[{<</MediaType (Tray 2)>>setpagedevice}stopped cleartomark\n"
            b"[{<</PageSize [421 595]>>setpagedevice}stopped cleartomark\n" + document), ps[:300])
        self.assertEqual(duplex_report(ps), ["true", "false", "421", "595"])

        # Behind the driver's header the driver asks, with its own code; the program does not.
        result = bench.run(["/q", path], settings=settings(
            DrvHead=1, Sides="two-sided-long-edge", PaperSource="Tray 2", PaperSize="A5"))
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1, result)
        ps = result.jobs[0][1]
        for code in (LONG_EDGE, TRAY_2, A5):
            self.assertIn(code, ps)
        self.assertNotIn(b"[{<<", ps)

    def test_a_slot_the_printer_lacks_is_reported_once(self):
        text = bench.put_file(DIR + "a.txt", b"first\r\n")
        ps = bench.put_file(DIR + "b.ps", b"%!\n72 72 moveto showpage\n")
        other = bench.put_file(DIR + "c.txt", b"third\r\n")
        result = bench.run(["/q", text, ps, other], settings=settings(
            PaperSource="Tray 9", Sides="two-sided-short-edge"))
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [(WARNING, 'The printer "capture" has no PaperSource '
                                                  '"Tray 9"; that preference is left as the '
                                                  'printer is set')])
        self.assertEqual([t for t, _ in result.jobs],
                         ["Ravlen - a.txt", "Ravlen - b.ps", "Ravlen - c.txt"])
        # What the printer has is still asked for.
        self.assertIn(b"<</Duplex true/Tumble true>>setpagedevice", result.jobs[0][1])
        self.assertTrue(result.jobs[1][1].startswith(
            b"%!\n[{<</Duplex true /Tumble true>>setpagedevice}stopped cleartomark\n%!\n"))

    def test_settings_page_offers_the_printers_lists_and_saves_the_names(self):
        running = bench.start_run([], settings=settings(), timeout=300)
        try:
            running.command(ID["IDC_SETTINGS"], title="Ravlen")
            running.dump(SETTINGS_TITLE)
            running.command(ID["IDC_PREFS_BUTTON"], title=SETTINGS_TITLE)
            page = running.dump(PREFS_TITLE)
            screenshot(page, "printer_preferences")
            self.assertIn("Printer-ready data is the printer's own language and is sent "
                          "unchanged.", " ".join(c["text"] for c in page["controls"]))
            self.assertEqual(control(page, ID["IDC_PREFS_PRINTER"])["text"], "capture")
            sides = control(page, ID["IDC_SIDES"])
            self.assertEqual(sides["items"], ["as the printer is set", "one-sided",
                                              "two-sided-long-edge", "two-sided-short-edge"])
            self.assertEqual(sides["text"], "as the printer is set")
            self.assertEqual(control(page, ID["IDC_PAPER_SOURCE"])["items"], [
                "as the printer is set", "Automatically Select", "Default", "Tray 1", "Tray 2",
                "Tray 3", "Manual Feed"])
            papers = control(page, ID["IDC_PAPER_SIZE"])["items"]
            self.assertEqual((len(papers), papers[0], "A5" in papers),
                             (16, "as the printer is set", True), papers)
            colors = control(page, ID["IDC_COLOR_MODE"])
            self.assertEqual((colors["items"], colors["text"]),
                             (["as the printer is set", "color", "monochrome"],
                              "as the printer is set"))

            running.select(ID["IDC_SIDES"], "two-sided-short-edge", PREFS_TITLE)
            running.select(ID["IDC_PAPER_SOURCE"], "Tray 3", PREFS_TITLE)
            running.select(ID["IDC_COLOR_MODE"], "monochrome", PREFS_TITLE)
            # A number is refused, the page stays open; a typed name is taken.
            running.settext(ID["IDC_PAPER_SIZE"], "9", PREFS_TITLE)
            running.command(ID["IDOK"], title=PREFS_TITLE)
            bench_module.wait_for(lambda: running.boxes(), 20, "the refusal")
            running.settext(ID["IDC_PAPER_SIZE"], "Legal", PREFS_TITLE)
            running.command(ID["IDOK"], title=PREFS_TITLE)
            running.command(ID["IDC_SAVE"], title=SETTINGS_TITLE)

            running.command(ID["IDC_SETTINGS"], title="Ravlen")
            running.command(ID["IDC_PREFS_BUTTON"], title=SETTINGS_TITLE)
            again = running.dump(PREFS_TITLE)
            running.command(ID["IDCANCEL"], title=PREFS_TITLE)
            running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
            running.command(ID["IDC_EXIT"], title="Ravlen")
        except BaseException:
            running.abort()
            raise
        result = running.wait()
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [
            ("Ravlen Error", 'A paper source is a name of at most 24 characters, a paper size '
                             'one of at most 64, and neither is a number: "9"')])
        saved = sections(bench.read_text("C:\\tests\\run.ini"))["Default settings"]
        self.assertEqual({k: saved.get(k) for k in ("Sides", "PaperSource", "PaperSize",
                                                    "ColorMode")},
                         {"Sides": "two-sided-short-edge", "PaperSource": "Tray 3",
                          "PaperSize": "Legal", "ColorMode": "monochrome"})
        self.assertEqual([control(again, ID[c])["text"] for c in
                          ("IDC_SIDES", "IDC_PAPER_SOURCE", "IDC_PAPER_SIZE", "IDC_COLOR_MODE")],
                         ["two-sided-short-edge", "Tray 3", "Legal", "monochrome"])


if __name__ == "__main__":
    unittest.main()
