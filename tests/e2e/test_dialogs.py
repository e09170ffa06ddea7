"""End-to-end tests of the program's dialogs driven as a user would drive them: the general
settings dialog and its set commands, the four format dialogs with refused values, Select Pages,
File Information; and the printer dialog's copies, properties and locks. Each dialog is saved as
a screenshot under shots/ beside the bench's work directory, for review."""

import os
import re
import subprocess
import time
import unittest

import bench as bench_module
from ghostscript import page_texts, sheet_count
from test_settings import section_keys

bench = None

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
ERROR = "Ravlen Error"
WARNING = "Ravlen Warning"
SETTINGS_TITLE = "Ravlen Settings"


def setUpModule():
    global bench
    bench = bench_module.shared_bench()


def dialog_poke():
    """The tests' filler of the common dialogs, built beside ravlen.exe in the same tree."""
    build = os.path.dirname(os.path.dirname(os.path.abspath(bench.ravlen)))
    path = os.path.join(build, "tests", "output", "dialog_poke.exe")
    return path if os.path.exists(path) else None


def resource_ids():
    """The program's control and command ids, by name, from its resource header."""
    ids = {}
    with open(os.path.join(ROOT, "resources", "resource.h")) as f:
        for line in f:
            m = re.match(r"#define (ID\w+) (\d+)", line)
            if m:
                ids[m.group(1)] = int(m.group(2))
    ids.update(IDOK=1, IDCANCEL=2)
    return ids


ID = resource_ids()


def shots_dir():
    return os.path.join(os.path.dirname(bench.work), "shots")


def screenshot(window, name):
    """The window as a PNG under shots/, cut from the screen by its rectangle."""
    left, top, right, bottom = window["rect"]
    path = os.path.join(shots_dir(), name + ".png")
    os.makedirs(shots_dir(), exist_ok=True)
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", path],
                   env=bench.env, check=True, timeout=60, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE)
    return path


def control(window, control_id):
    for c in window["controls"]:
        if c["id"] == control_id:
            return c
    raise AssertionError("no control %d in %s" % (control_id, window["title"]))


def labels(window):
    return {c["text"] for c in window["controls"] if c["text"]}


def sets(**extra):
    """A default set and a set "Other" that differ in their check boxes and lines."""
    base = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "WarnNonPS": 0}
    other = dict(base, ShowPrintDlg=1, NameInHeader=0, Lines=40, FileTypes=".oth;")
    result = {"General": {"Version": "2.1.5"},
              "Settings List": {"Default settings": 1, "Other": 1},
              "Default settings": base, "Other": other}
    result.update(extra)
    return result


def sections(text):
    """{section: {key: value}} of an INI text."""
    result, current = {}, None
    for line in text.splitlines():
        line = line.strip()
        m = re.match(r"^\[(.*)\]$", line)
        if m:
            current = result.setdefault(m.group(1), {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return result


def boxes_so_far(running):
    return [e for e in bench._read_events(running.log_path) if e.get("event") == "box"]


def wait_boxes(running, count, timeout=20):
    return bench_module.wait_for(lambda: len(boxes_so_far(running)) >= count, timeout,
                                 "%d message boxes" % count)


def ghostscript_pages(ps):
    """The text Ghostscript reads on each page of a job: one string per page."""
    return [" ".join(text.split()) for text in page_texts(ps)]


def numbered_document(pages):
    """A structured document whose page n shows the word Page and n."""
    lines = ["%!PS-Adobe-3.0", "%%Pages: %d" % pages, "%%EndComments",
             "/Helvetica findfont 24 scalefont setfont", "%%EndProlog"]
    for n in range(1, pages + 1):
        lines += ["%%%%Page: %d %d" % (n, n), "72 700 moveto (Page %d) show showpage" % n]
    lines += ["%%Trailer", "%%EOF", ""]
    return "\n".join(lines).encode()


def groff_document(pages):
    """A real multi-page document made by groff: page n holds the words Sheet and n."""
    source = "".join(".bp\n" * (n > 1) + "Sheet %d\n" % n for n in range(1, pages + 1))
    return subprocess.run(["groff", "-Tps"], input=source.encode(), stdout=subprocess.PIPE,
                          check=True, timeout=60).stdout


class DialogTestCase(unittest.TestCase):
    def start(self, settings, answers=(), args=(), timeout=300, **options):
        running = bench.start_run(list(args), settings=settings, answers=answers,
                                  timeout=timeout, **options)
        self.addCleanup(lambda: running.process.poll() is None and running.abort())
        return running

    def open_settings(self, running):
        running.command(ID["IDC_SETTINGS"], title="Ravlen")
        return running.dump(SETTINGS_TITLE)

    def finish(self, running):
        """Exits the program from its main window and returns the run's result."""
        running.command(ID["IDC_EXIT"], title="Ravlen")
        result = running.wait()
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.exit_code, 0)
        return result

    def ini(self):
        return bench.read_text("C:\\tests\\run.ini")


class SettingsDialogTest(DialogTestCase):
    def test_labels_preview_and_save_under_a_new_name(self):
        running = self.start(sets())
        window = self.open_settings(running)
        screenshot(window, "settings")
        for text in ("Current Settings", "Enable spooler function", "Show printer selection dialog",
                     "Show this dialog when drag && drop", "Quit when handled command line",
                     "Show settings name in header", "Show progress bar",
                     "Save window placement on exit", "Show icon on the taskbar",
                     "Mandatory for file type(s):", "Printer", "&Save", "&Apply", "&Cancel",
                     "&Delete", "&Shortcut...", "&Help", "&Text file...", "&PostScript...",
                     "&N-up...", "C&onversion...", "P&references..."):
            self.assertIn(text, labels(window))
        self.assertEqual(control(window, ID["IDC_SET_NAME"])["text"], "Default settings")
        self.assertEqual(control(window, ID["IDC_PRINTER_LIST"])["text"], "Use default")
        self.assertEqual(control(window, ID["IDC_SHOW_PRINT_DLG"])["checked"], 0)

        # Previewing Other shows its values; the format dialogs see them too.
        running.select(ID["IDC_SET_NAME"], "Other", SETTINGS_TITLE)
        window = running.dump(SETTINGS_TITLE)
        self.assertEqual(control(window, ID["IDC_SHOW_PRINT_DLG"])["checked"], 1)
        self.assertEqual(control(window, ID["IDC_FILE_TYPES"])["text"], ".oth;")
        running.command(ID["IDC_TEXT_BUTTON"], title=SETTINGS_TITLE)
        text = running.dump("Text File Settings")
        self.assertEqual(control(text, ID["IDC_LINES"])["text"], "40")
        running.command(ID["IDCANCEL"], title="Text File Settings")

        # A new name with an edit: saved with the previewed values plus the edit.
        running.settext(ID["IDC_SET_NAME"], "Letters", SETTINGS_TITLE)
        running.check(ID["IDC_QUIT_COMMAND_LINE"], True, SETTINGS_TITLE)
        running.command(ID["IDC_SAVE"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, [])
        ini = sections(self.ini())
        self.assertEqual(ini["Settings List"], {"Default settings": "1", "Other": "1",
                                                "Letters": "1"})
        # Only values that differ from the defaults, in the program's key order
        # (ShowPrintDlg 1 is the default).
        self.assertEqual(section_keys(self.ini(), "Letters"),
                         ["EnableTextPrint", "QuitFromComLine", "NameInHeader", "FileTypes",
                          "WarnNonPS", "Lines"])
        self.assertEqual(ini["Letters"], {"QuitFromComLine": "1", "NameInHeader": "0",
                                          "FileTypes": ".oth;", "EnableTextPrint": "0",
                                          "WarnNonPS": "0", "Lines": "40"})
        self.assertEqual(ini["Other"]["Lines"], "40")

    def test_apply_writes_nothing_and_takes_the_name(self):
        running = self.start(sets())
        before = self.ini()
        self.open_settings(running)
        running.settext(ID["IDC_SET_NAME"], "Applied", SETTINGS_TITLE)
        running.command(ID["IDC_APPLY"], title=SETTINGS_TITLE)
        main = running.dump("Ravlen")
        self.assertEqual(main["title"], "Ravlen - Applied")
        result = self.finish(running)
        self.assertEqual(result.boxes, [])
        self.assertEqual(self.ini(), before)

    def test_delete_asks_and_the_default_set_stays(self):
        running = self.start(sets(), answers=["OK", "YES"])
        self.open_settings(running)
        running.command(ID["IDC_DELETE"], title=SETTINGS_TITLE)
        wait_boxes(running, 1)
        running.select(ID["IDC_SET_NAME"], "Other", SETTINGS_TITLE)
        running.command(ID["IDC_DELETE"], title=SETTINGS_TITLE)
        wait_boxes(running, 2)
        window = running.dump(SETTINGS_TITLE)
        self.assertEqual(control(window, ID["IDC_SET_NAME"])["text"], "Default settings")
        running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, [
            (ERROR, "The default settings can not be deleted"),
            (WARNING, "Are you sure that you want to delete settings: Other ?")])
        ini = sections(self.ini())
        self.assertNotIn("Other", ini)
        self.assertEqual(list(ini["Settings List"]), ["Default settings"])

    def test_empty_name_is_refused(self):
        running = self.start(sets())
        before = self.ini()
        self.open_settings(running)
        running.settext(ID["IDC_SET_NAME"], "", SETTINGS_TITLE)
        running.command(ID["IDC_SAVE"], title=SETTINGS_TITLE)
        wait_boxes(running, 1)
        window = running.dump(SETTINGS_TITLE)
        self.assertEqual(control(window, ID["IDC_SET_NAME"])["text"], "Default settings")
        running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, [(ERROR, "The settings must have a name")])
        self.assertEqual(self.ini(), before)

    def test_shortcut_button_opens_the_shortcut_dialog_and_cancel_changes_nothing(self):
        running = self.start(sets())
        before = self.ini()
        self.open_settings(running)
        running.command(ID["IDC_SHORTCUT"], title=SETTINGS_TITLE)
        running.dump("Create Ravlen Shortcut")
        running.command(ID["IDCANCEL"], title="Create Ravlen Shortcut")
        running.dump(SETTINGS_TITLE)  # a cancelled shortcut keeps the settings dialog open
        running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, [])
        self.assertEqual(self.ini(), before)


# Refused texts of each numeric field: empty, letters, a negative number, 0, the largest value
# plus one and 2^31; those that the field accepts are left out (0 and negatives of the lengths,
# and an empty "Characters per line:", which leaves the size to the lines).
BIG = "2147483648"
TEXT_FIELDS = [("IDC_LINES", ["x", "-1", "0", "501", BIG]),
               ("IDC_CHARS", ["x", "-1", "0", "501", BIG]),
               ("IDC_TAB_WIDTH", ["", "x", "-1", "0", "26", BIG])]
NUP_FIELDS = [("IDC_PAGES_WIDE", ["", "x", "-1", "0", "101", BIG], "Invalid value"),
              ("IDC_PAGES_HIGH", ["", "x", "-1", "0", "101", BIG], "Invalid value")] + \
    [(name, ["", "x", "-11", "11", BIG], "Invalid margin value")
     for name in ("IDC_LEFT_MARGIN", "IDC_RIGHT_MARGIN", "IDC_TOP_MARGIN", "IDC_BOTTOM_MARGIN",
                  "IDC_X_GUTTER", "IDC_Y_GUTTER")] + \
    [("IDC_FRAME_WIDTH", ["", "x", "-1", "51", BIG], "Invalid frame width")]


class FormatDialogTest(DialogTestCase):
    def refuse(self, running, title, field, text, expected_boxes):
        running.settext(ID[field], text, title)
        running.command(ID["IDOK"], title=title)
        wait_boxes(running, expected_boxes)

        def selected():
            window = running.dump(title)
            c = control(window, ID[field])
            return window["focus"] == ID[field] and c["sel"] == [0, len(text)] and window
        # The dialog is still open, the refused field in focus with its whole text selected.
        bench_module.wait_for(selected, 20, "%s selected after %r" % (field, text))

    def sweep(self, button, title, fields, message_of, prepare):
        running = self.start(sets(), timeout=600)
        before = self.ini()
        self.open_settings(running)
        running.command(ID[button], title=SETTINGS_TITLE)
        prepare(running)
        window = running.dump(title)
        original = {c["id"]: c["text"] for c in window["controls"]}
        count = 0
        expected = []
        for field, bad in fields:
            for text in bad:
                count += 1
                self.refuse(running, title, field, text, count)
                expected.append((ERROR, message_of(field)))
            running.settext(ID[field], original[ID[field]], title)
        # Cancel, then a fresh look: the dialog shows the values it had.
        running.command(ID["IDCANCEL"], title=title)
        running.command(ID[button], title=SETTINGS_TITLE)
        again = running.dump(title)
        for field, _ in fields:
            self.assertEqual(control(again, ID[field])["text"], original[ID[field]], field)
        running.command(ID["IDOK"], title=title)
        running.command(ID["IDC_SAVE"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, expected)
        # Saved unchanged: the same values (the save lists the sets afresh).
        self.assertEqual(sections(self.ini())["Default settings"],
                         sections(before)["Default settings"])

    def test_text_dialog_labels_and_refused_values(self):
        running = self.start(sets())
        self.open_settings(running)
        running.command(ID["IDC_TEXT_BUTTON"], title=SETTINGS_TITLE)
        window = running.dump("Text File Settings")
        screenshot(window, "text_settings")
        for text in ("Text file action", "Print formatted", "Send to printer", "Ignore",
                     "Lines per page:", "Characters per line:", "Font:", "Header:", "Footer:",
                     "Paper bound header and footer", "Tab width:", "Wrap long lines",
                     "Show line numbers", "Pretty Print", "OEM translation", "Never",
                     "Automatic", "Always", "OK", "Cancel", "&Help"):
            self.assertIn(text, labels(window))
        # Sent unchanged (the set's own value): the formatting options are disabled.
        self.assertFalse(control(window, ID["IDC_FONT"])["enabled"])
        running.check(ID["IDC_ACTION_PRINT"], True, "Text File Settings")
        window = running.dump("Text File Settings")
        self.assertTrue(control(window, ID["IDC_FONT"])["enabled"])
        running.command(ID["IDCANCEL"], title="Text File Settings")
        running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
        self.finish(running)

        # The fields take input while the text is printed formatted.
        def formatted(r):
            r.check(ID["IDC_ACTION_PRINT"], True, "Text File Settings")
        self.sweep("IDC_TEXT_BUTTON", "Text File Settings", TEXT_FIELDS,
                   lambda field: "Invalid value", formatted)

    def test_nup_dialog_labels_and_refused_values(self):
        running = self.start(sets())
        self.open_settings(running)
        running.command(ID["IDC_NUP_BUTTON"], title=SETTINGS_TITLE)
        window = running.dump("N-up printing settings")
        screenshot(window, "nup_settings")
        for text in ("pages wide", "pages high", "Orientation", "Landscape", "Portrait",
                     "Page order", "Horizontal", "Vertical", "Draw frame", "Frame width:",
                     "inches/100", "Margins in inches", "Left:", "Right:", "Top:", "Bottom:",
                     "Horizontal gutter:", "Vertical gutter:"):
            self.assertIn(text, labels(window))
        self.assertEqual(control(window, ID["IDC_FRAME_WIDTH"])["text"], "0.30")
        self.assertEqual(control(window, ID["IDC_LEFT_MARGIN"])["text"], "0.70")
        running.command(ID["IDCANCEL"], title="N-up printing settings")
        running.command(ID["IDCANCEL"], title=SETTINGS_TITLE)
        self.finish(running)
        messages = {name: message for name, _, message in NUP_FIELDS}
        self.sweep("IDC_NUP_BUTTON", "N-up printing settings",
                   [(name, bad) for name, bad, _ in NUP_FIELDS], messages.get,
                   lambda r: None)

    def test_postscript_and_conversion_dialogs(self):
        running = self.start(sets(), answers=["OK", "OK"])
        self.open_settings(running)
        running.command(ID["IDC_PS_BUTTON"], title=SETTINGS_TITLE)
        window = running.dump("PostScript Settings")
        screenshot(window, "postscript_settings")
        for text in ("Use end of file character (^D)", "Enable page selection",
                     "Include driver header", "Enable n-up printing",
                     "Warn for non PostScript printers", "Prolog file", "&Browse...",
                     "Encapsulated PostScript", "Keep original size and place", "Center on page",
                     "Center and scale to fit page", "Frame bounding box", "Print file name"):
            self.assertIn(text, labels(window))
        running.check(ID["IDC_DRV_HEAD"], True, "PostScript Settings")
        running.command(ID["IDOK"], title="PostScript Settings")

        running.command(ID["IDC_CONV_BUTTON"], title=SETTINGS_TITLE)
        window = running.dump("Conversion Settings")
        screenshot(window, "conversion_settings")
        for text in ("Enable conversion of : ", "Text files", "Program", "&Browse...",
                     "Parameters", "Show conversion program window",
                     "Conversion program handles printing"):
            self.assertIn(text, labels(window))
        self.assertFalse(control(window, ID["IDC_CONV_PROGRAM"])["enabled"])
        running.select(ID["IDC_CONV_KIND"], "PostScript files", "Conversion Settings")
        running.check(ID["IDC_CONV_ENABLE"], True, "Conversion Settings")
        running.command(ID["IDOK"], title="Conversion Settings")
        wait_boxes(running, 1)  # no program
        running.settext(ID["IDC_CONV_PROGRAM"], "C:\\conv.exe", "Conversion Settings")
        running.command(ID["IDOK"], title="Conversion Settings")
        wait_boxes(running, 2)  # no parameters: a warning, then stored
        running.command(ID["IDC_SAVE"], title=SETTINGS_TITLE)
        result = self.finish(running)
        self.assertEqual(result.boxes, [(ERROR, "No convertion program specified"),
                                        (WARNING, "No parameters specified")])
        saved = sections(self.ini())["Default settings"]
        self.assertEqual(saved.get("DrvHead"), "1")
        self.assertEqual(saved.get("DoConvPS"), "1")
        self.assertEqual(saved.get("ConvComPS"), "C:\\conv.exe?")


class SelectPagesTest(DialogTestCase):
    def setUp(self):
        if not dialog_poke():
            self.skipTest("the tests' dialog_poke.exe has not been built")

    def print_pages(self, name, data, pages, choose, keys=None, shot=None):
        path = bench.put_file("C:\\tests\\pages\\" + name, data)
        values = {"ShowPrintDlg": 1, "UseRange": 1, "EnableTextPrint": 0, "WarnNonPS": 0,
                  "PSEOFChar": 0}
        values.update(keys or {})
        settings = {"Settings List": {"Default settings": 1}, "Default settings": values}
        seen = {}

        def interact(running):
            bench.wine(bench_module.unix_to_windows(dialog_poke()), "print", "--pages", pages,
                       "--pid", str(running.pid), timeout=60)
            window = running.dump("Select Pages")
            seen["window"] = window
            if shot:
                screenshot(window, shot)
            choose(running)
            seen["after"] = running.dump("Select Pages")
            running.command(ID["IDOK"], title="Select Pages")

        result = bench.run(["/q", path], settings=settings, print_dialog="NONE",
                           interact=interact, timeout=120)
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        return result.jobs[0][1], seen

    def test_pages_three_five_and_seven_of_ten(self):
        job, seen = self.print_pages(
            "ten.ps", numbered_document(10), "3-7",
            lambda r: r.listsel(ID["IDC_PAGE_LIST"], [0, 2, 4], "Select Pages"),
            shot="select_pages")
        self.assertEqual({"OK", "Cancel", "&All", "All &Odd", "All &Even", "&Help"} -
                         labels(seen["window"]), set())
        listed = control(seen["window"], ID["IDC_PAGE_LIST"])
        self.assertEqual(listed["items"], [" 3 3", " 4 4", " 5 5", " 6 6", " 7 7"])
        self.assertEqual(listed["selected"], [0, 1, 2, 3, 4])
        self.assertEqual(ghostscript_pages(job), ["Page 3", "Page 5", "Page 7"])

    def groff_pages(self, button, keys=None):
        def choose(running):
            running.command(ID[button], title="Select Pages")
        return self.print_pages("groff.ps", groff_document(6), "1-6", choose, keys)

    def test_odd_and_even_pages_of_a_groff_document(self):
        job, seen = self.groff_pages("IDC_PAGES_ODD")
        self.assertEqual(control(seen["after"], ID["IDC_PAGE_LIST"])["selected"], [0, 2, 4])
        self.assertEqual([p for p in ghostscript_pages(job)], ["Sheet 1", "Sheet 3", "Sheet 5"])
        job, seen = self.groff_pages("IDC_PAGES_EVEN")
        self.assertEqual([p for p in ghostscript_pages(job)], ["Sheet 2", "Sheet 4", "Sheet 6"])

    def test_odd_pages_two_up_fill_two_sheets(self):
        job, _ = self.groff_pages("IDC_PAGES_ODD", {"NUpPs": 1, "Width": 2, "Height": 1})
        self.assertEqual(sheet_count(job), 2)


class FileInformationTest(DialogTestCase):
    def setUp(self):
        if not dialog_poke():
            self.skipTest("the tests' dialog_poke.exe has not been built")

    def describe(self, name, data, keys, press="IDOK", shot=None):
        path = bench.put_file("C:\\tests\\info\\" + name, data)
        values = {"ShowPrintDlg": 0, "EnableTextPrint": 1, "WarnNonPS": 0, "PSEOFChar": 0}
        values.update(keys)
        running = self.start({"Settings List": {"Default settings": 1},
                              "Default settings": values})
        running.command(ID["IDC_FILE_INFO"], title="Ravlen")
        bench.wine(bench_module.unix_to_windows(dialog_poke()), "save", "--name", path,
                   "--pid", str(running.pid), timeout=60)
        window = running.dump("File Information")
        if shot:
            screenshot(window, shot)
        running.command(ID[press], title="File Information")
        result = self.finish(running)
        return window, result

    def test_structured_document_on_two_by_one(self):
        window, result = self.describe("seven.ps", numbered_document(7),
                                       {"NUpPs": 1, "Width": 2, "Height": 1},
                                       shot="file_information")
        self.assertEqual(control(window, ID["IDC_INFO_NAME"])["text"], "seven.ps")
        text = control(window, ID["IDC_INFO_DESCRIPTION"])["text"]
        self.assertIn("With the current settings the file's 7 logical pages will require 4 "
                      "printout pages. The offset to the PostScript code is 0", text)
        self.assertEqual({"OK", "Print"} - labels(window), set())
        self.assertEqual(result.jobs, [])

    def test_text_file_counts_and_prints(self):
        rows = "".join("L%02d\r\n" % n for n in range(150))
        window, result = self.describe("rows.txt", rows, {"Lines": 50, "Width": 2, "Height": 1},
                                       press="IDC_INFO_PRINT")
        self.assertEqual(control(window, ID["IDC_INFO_DESCRIPTION"])["text"],
                         "This is a text file. With the current settings the file's 3 logical "
                         "pages will require 2 printout pages. The size of the file is %d "
                         "bytes." % len(rows))
        self.assertEqual([t for t, _ in result.jobs], ["Ravlen - rows.txt"])


class PrinterDialogTest(DialogTestCase):
    def setUp(self):
        if not dialog_poke():
            self.skipTest("the tests' dialog_poke.exe has not been built")

    def run_poked(self, name, data, keys, *poke_args, args=(), cwd=None):
        path = bench.put_file("C:\\tests\\printer\\" + name, data)
        values = {"ShowPrintDlg": 1, "EnableTextPrint": 1, "WarnNonPS": 0}
        values.update(keys)
        settings = {"Settings List": {"Default settings": 1}, "Default settings": values}

        def poke(running):
            bench.wine(bench_module.unix_to_windows(dialog_poke()), "print", *poke_args,
                       "--pid", str(running.pid), timeout=60)

        result = bench.run(list(args) + ["/q", path], settings=settings, print_dialog="NONE",
                           interact=poke, timeout=120, cwd=cwd)
        self.assertFalse(result.timed_out, result)
        return result

    def test_three_copies_behind_the_driver_header_all_print(self):
        result = self.run_poked("three.ps", numbered_document(1), {"DrvHead": 1},
                                "--copies", "3", "--collate", "1")
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        self.assertEqual(sheet_count(result.jobs[0][1]), 3)

    def test_driver_properties_open_for_a_text_file(self):
        path = bench.put_file("C:\\tests\\printer\\props.txt", b"properties\r\n")
        settings = {"Settings List": {"Default settings": 1},
                    "Default settings": {"ShowPrintDlg": 1, "EnableTextPrint": 1}}

        def properties(running):
            running.command(0x401, title="Print")  # the printer's Properties button
            sheet = running.dump("Options")
            screenshot(sheet, "driver_properties")
            running.command(ID["IDCANCEL"], title="Options")
            running.command(ID["IDOK"], title="Print")

        result = bench.run(["/q", path], settings=settings, print_dialog="NONE",
                           interact=properties, timeout=120)
        self.assertFalse(result.timed_out, result)
        self.assertEqual(result.boxes, [])
        self.assertIn(("#32770", "Options"), result.windows)
        self.assertEqual([t for t, _ in result.jobs], ["Ravlen - props.txt"])

    def test_pass_through_to_a_file(self):
        # The driver writes a print to file to its "FILE:" port; Wine makes that a file of
        # that name in the program's current directory.
        directory = os.path.join(bench.work, "file-port")
        os.makedirs(directory, exist_ok=True)
        target = os.path.join(directory, "FILE:")
        if os.path.exists(target):
            os.remove(target)
        code = numbered_document(1)
        result = self.run_poked("tofile.ps", code, {"DrvHead": 1, "PSEOFChar": 1},
                                "--to-file", cwd=directory)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])
        with open(target, "rb") as f:
            job = f.read()
        tail = (b"/_rvltmp 255 string def\n"
                b"{ currentfile _rvltmp readline exch pop not { exit } if } loop\n")
        self.assertTrue(job.startswith(b"%!PS-Adobe"), job[:100])
        m = re.search(rb"\n0 \d+ translate \d+ 72 div \d+ 72 div neg scale\n\n", job)
        self.assertIsNotNone(m)
        self.assertEqual(job[m.end():m.end() + len(code) + len(tail)], code + tail)
        self.assertNotIn(b"\x04", job)
        self.assertEqual(ghostscript_pages(job), ["Page 1"])

    def test_copy_controls_locked_by_x1(self):
        path = bench.put_file("C:\\tests\\printer\\locked.txt", b"locked\r\n")
        result = bench.run(["/x1", "/q", path], settings={
            "Settings List": {"Default settings": 1},
            "Default settings": {"ShowPrintDlg": 1, "EnableTextPrint": 0}}, print_dialog="OK")
        dialogs = [e for e in result.events if e.get("event") == "dialog"]
        self.assertEqual(len(dialogs), 1)
        by_id = {c["id"]: c for c in dialogs[0]["controls"]}
        self.assertFalse(by_id[0x411]["enabled"])  # Collate
        self.assertFalse(by_id[0x482]["enabled"])  # Number of copies
        self.assertEqual([t for t, _ in result.jobs], ["Ravlen - locked.txt"])


if __name__ == "__main__":
    unittest.main()
