"""End-to-end tests of printer output: raw jobs byte for byte, copies, the PostScript kinds as
the program composes them, the driver's pass-through, the printer dialog, conversion programs
and stopping, with ravlen.exe under Wine printing to the bench's capture printer. Run through
run_tests.py (ctest: e2e)."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import bench as bench_module

bench = None

ERROR = "Ravlen Error"
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
IDC_STOP = 1050
CONVERTER = "C:\\tests\\conv\\converter.exe"
# A program path with a blank: the template's program part is passed in its short form.
CONVERTER_WITH_BLANK = "C:\\tests\\Conversion Tools\\converter.exe"


def setUpModule():
    global bench
    bench = bench_module.shared_bench()
    converter = converter_exe()
    if converter:
        with open(converter, "rb") as f:
            program = f.read()
        bench.put_file(CONVERTER, program)
        bench.put_file(CONVERTER_WITH_BLANK, program)


def converter_exe():
    """The tests' converter, built beside ravlen.exe in the same build tree."""
    path = os.environ.get("CONVERTER_EXE")
    if not path:
        build = os.path.dirname(os.path.dirname(os.path.abspath(bench.ravlen)))
        path = os.path.join(build, "tests", "output", "converter.exe")
    return path if os.path.exists(path) else None


def dialog_poke():
    """The tests' dialog filler, built beside the converter."""
    converter = converter_exe()
    path = converter and os.path.join(os.path.dirname(converter), "dialog_poke.exe")
    return path if path and os.path.exists(path) else None


def compose_tool():
    """The native composition tool, which writes a PostScript job as the program composes it:
    COMPOSE_TOOL, else the newest one of the native builds under build/. None when there is
    none built since the procedure sets last changed."""
    path = os.environ.get("COMPOSE_TOOL")
    if not path:
        build_root = os.path.join(ROOT, "build")
        found = []
        for name in os.listdir(build_root) if os.path.isdir(build_root) else []:
            candidate = os.path.join(build_root, name, "tests", "output", "compose_tool")
            if os.path.isfile(candidate) and os.access(candidate, os.X_OK):
                found.append((os.path.getmtime(candidate), candidate))
        if not found:
            return None
        newest, path = max(found)
        procsets = [os.path.join(ROOT, "resources", n) for n in ("nup.ps", "eps.ps")]
        if any(os.path.getmtime(p) > newest for p in procsets if os.path.exists(p)):
            return None
    return path if os.path.isfile(path) else None


def settings(**keys):
    """A default set that prints without asking, text sent unchanged."""
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 0, "WarnNonPS": 0}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def binary(n, seed=0):
    return bytes(((i * 7 + i // 251 + seed) & 0xFF) for i in range(n))


PLAIN = b"%!\n/Helvetica findfont 12 scalefont setfont 72 72 moveto (plain) show showpage\n"
STRUCTURED = (b"%!PS-Adobe-3.0\n%%Pages: 3\n%%EndComments\n/rvl_t 1 def\n%%EndProlog\n"
              b"%%Page: 1 1\n72 72 moveto (one) show showpage\n"
              b"%%Page: 2 2\n72 72 moveto (two) show showpage\n"
              b"%%Page: 3 3\n72 72 moveto (three) show showpage\n%%EOF\n")
EPS = (b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 10 20 110 220\n%%EndComments\n"
       b"10 20 moveto 110 220 lineto stroke\n%%EOF\n")


class OutputTestCase(unittest.TestCase):
    def run_ravlen(self, args, keys=None, **options):
        options.setdefault("settings", settings(**(keys or {})))
        result = bench.run(args, **options)
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        return result

    def composed(self, data, name, keys):
        """The job the program composes for data with keys, as the spooler gets it."""
        tool = compose_tool()
        if not tool:
            self.skipTest("no native compose_tool newer than the procedure sets "
                          "(build the native tree first, or name one in COMPOSE_TOOL)")
        work = tempfile.mkdtemp(prefix="e2e-compose-")
        try:
            source = os.path.join(work, name)
            out = os.path.join(work, "job")
            with open(source, "wb") as f:
                f.write(data)
            argv = [tool] + ["%s=%s" % kv for kv in keys.items()] + ["raw", source, out]
            subprocess.run(argv, check=True, timeout=60)
            with open(out, "rb") as f:
                job = f.read()
            return job, source
        finally:
            shutil.rmtree(work, ignore_errors=True)


class RawOutputTest(OutputTestCase):
    def test_binary_file_arrives_byte_for_byte_in_one_named_job(self):
        data = binary(120000)
        path = bench.put_file("C:\\tests\\out\\data.bin", data)
        result = self.run_ravlen(["/q", path])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        title, job = result.jobs[0]
        self.assertEqual(title, "Ravlen - data.bin")
        self.assertTrue(job == data, "job of %d bytes differs from the file" % len(job))

    def test_copies_from_the_command_line_repeat_the_file_in_one_job(self):
        data = binary(70000, seed=3)
        path = bench.put_file("C:\\tests\\out\\three.prn", data)
        result = self.run_ravlen(["/#:3", "/q", path])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.jobs), 1)
        self.assertEqual(result.jobs[0][0], "Ravlen - three.prn")
        self.assertTrue(result.jobs[0][1] == data * 3)

    def test_printer_chosen_by_name(self):
        # A named printer is opened by name and its device names are built by the program;
        # the driver's device context is made from them.
        data = binary(2000, seed=7)
        path = bench.put_file("C:\\tests\\out\\named.bin", data)
        ps = bench.put_file("C:\\tests\\out\\named.ps", PLAIN)
        result = self.run_ravlen(["/q", path, ps], keys={"PrinterName": bench_module.PRINTER,
                                                         "DrvHead": 1})
        self.assertEqual(result.boxes, [])
        self.assertEqual([title for title, _ in result.jobs],
                         ["Ravlen - named.bin", "Ravlen - named.ps"])
        self.assertTrue(result.jobs[0][1] == data)
        self.assertTrue(result.jobs[1][1].startswith(b"%!PS-Adobe"))
        self.assertIn(PLAIN, result.jobs[1][1])

    def test_text_file_is_formatted_on_the_printer(self):
        path = bench.put_file("C:\\tests\\out\\notes.txt", b"first line\r\nsecond line\r\n")
        result = self.run_ravlen(["/q", path], keys={"EnableTextPrint": 1})
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        self.assertEqual(result.jobs[0][0], "Ravlen - notes.txt")
        # Drawn by the printer driver: PostScript, not the file's bytes.
        self.assertTrue(result.jobs[0][1].startswith(b"%!PS-Adobe"), result.jobs[0][1][:100])

    def test_printer_dialog_cancel_prints_nothing(self):
        path = bench.put_file("C:\\tests\\out\\cancel.bin", binary(1000))
        result = self.run_ravlen(["/q", path], keys={"ShowPrintDlg": 1}, print_dialog="CANCEL")
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [])
        self.assertEqual([answer for _, answer in result.dialogs][:1], ["CANCEL"], result.events)

    def test_printer_dialog_ok_prints_the_file(self):
        data = binary(3000, seed=5)
        path = bench.put_file("C:\\tests\\out\\dialog.bin", data)
        result = self.run_ravlen(["/q", path], keys={"ShowPrintDlg": 1}, print_dialog="OK")
        self.assertEqual(len(result.dialogs), 1)
        self.assertEqual(result.jobs, [("Ravlen - dialog.bin", data)])


class PrinterDialogTest(OutputTestCase):
    """The printer dialog filled in the way a user would (dialog_poke.exe)."""

    def setUp(self):
        if not dialog_poke():
            self.skipTest("the tests' dialog_poke.exe has not been built")

    def poke(self, running, *args):
        bench.wine(bench_module.unix_to_windows(dialog_poke()), *args, "--pid", str(running.pid),
                   timeout=60)

    def run_dialog(self, name, data, print_args, save_args=None, keys=None, then=None):
        path = bench.put_file("C:\\tests\\out\\" + name, data)

        def fill(running):
            self.poke(running, "print", *print_args)
            if save_args:
                self.poke(running, "save", *save_args)
            if then:
                then(running)

        values = {"ShowPrintDlg": 1}
        values.update(keys or {})
        result = self.run_ravlen(["/q", path], keys=values, print_dialog="NONE", interact=fill)
        self.assertEqual(result.exit_code, 0)
        return result

    def test_copies_of_the_dialog_repeat_the_file_in_one_job(self):
        data = binary(4000, seed=21)
        result = self.run_dialog("copies.bin", data, ["--copies", "3", "--collate", "1"])
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - copies.bin", data * 3)])

    def test_uncollated_copies_show_message_104_and_print_nothing(self):
        result = self.run_dialog("uncollated.bin", binary(100),
                                 ["--copies", "2", "--collate", "0"])
        self.assertEqual(result.boxes, [(ERROR, "Multiple copies must be printed collated "
                                                "with the current file and settings")])
        self.assertEqual(result.jobs, [])

    def test_page_range_of_a_structured_file(self):
        # The Select Pages dialog lists the range, all selected; OK sends the document's
        # header and those pages, the last with the trailer.
        def confirm(running):
            running.command(1, title="Select Pages")  # OK

        result = self.run_dialog("range.ps", STRUCTURED, ["--pages", "2-3"],
                                 keys={"UseRange": 1, "PSEOFChar": 0}, then=confirm)
        self.assertEqual(result.boxes, [])
        first = STRUCTURED.index(b"%%Page: 1 1")
        second = STRUCTURED.index(b"%%Page: 2 2")
        self.assertEqual(result.jobs, [("Ravlen - range.ps",
                                        STRUCTURED[:first] + STRUCTURED[second:])])

    def test_driver_properties_refused_for_postscript_without_driver_header(self):
        result = self.run_dialog("props.ps", PLAIN, ["--properties"],
                                 keys={"DrvHead": 0, "PSEOFChar": 0})
        self.assertEqual(result.boxes, [(ERROR, (
            "It is only possible to select driver properties when printing a text file or "
            "when the \"Include driver header\" option has been enabled.\nFor PostScript files "
            "another alternative is to define a prolog file in the Ravlen PostScript "
            "settings."))])
        self.assertEqual(result.jobs, [("Ravlen - props.ps", PLAIN)])

    def test_print_to_file_writes_exactly_the_job(self):
        data = binary(60000, seed=23)
        target = "C:\\tests\\out\\printed.prn"
        bench.remove(target)
        result = self.run_dialog("tofile.bin", data, ["--to-file"], ["--name", target])
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [])
        self.assertTrue(bench.read_file(target) == data)

    def test_print_to_file_cancelled_fails_the_job(self):
        result = self.run_dialog("tofile-cancel.bin", binary(100), ["--to-file"], ["--cancel"])
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [(ERROR, "Failed to access the printer")])


class PostScriptOutputTest(OutputTestCase):
    def check_composed(self, data, name, keys):
        expected, source = self.composed(data, name, keys)
        path = bench.put_file("C:\\tests\\out\\" + name, data)
        result = self.run_ravlen(["/q", path], keys=keys)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        title, job = result.jobs[0]
        self.assertEqual(title, "Ravlen - " + name)
        # The picture's name is the one the program was given.
        native = "(" + source.replace("\\", "\\\\") + ")"
        windows = "(" + path.replace("\\", "\\\\") + ")"
        expected = expected.replace(native.encode(), windows.encode())
        self.assertEqual(job, expected)
        return job

    def test_plain_postscript_with_end_of_job_characters(self):
        job = self.check_composed(PLAIN, "plain.ps", {"PSEOFChar": 1, "DrvHead": 0})
        self.assertEqual(job, b"\x04\n" + PLAIN + b"\x04")

    def test_structured_postscript_as_composed(self):
        job = self.check_composed(STRUCTURED, "pages.ps", {"PSEOFChar": 1, "NUpPs": 0})
        self.assertEqual(job, b"\x04\n" + STRUCTURED + b"\x04")

    def test_structured_postscript_n_up_as_composed(self):
        job = self.check_composed(STRUCTURED, "nup.ps", {"PSEOFChar": 1, "NUpPs": 1})
        self.assertIn(b"RavlenDict", job)

    def test_encapsulated_postscript_as_composed(self):
        job = self.check_composed(EPS, "pic.eps", {"PSEOFChar": 1})
        self.assertIn(b"10 20 moveto 110 220 lineto stroke", job)

    def test_driver_header_goes_through_the_driver(self):
        path = bench.put_file("C:\\tests\\out\\driver.ps", PLAIN)
        result = self.run_ravlen(["/q", path], keys={"DrvHead": 1, "PSEOFChar": 1})
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        title, job = result.jobs[0]
        self.assertEqual(title, "Ravlen - driver.ps")
        tail = (b"/_rvltmp 255 string def\n"
                b"{ currentfile _rvltmp readline exch pop not { exit } if } loop\n")
        m = re.search(rb"\n0 \d+ translate \d+ 72 div \d+ 72 div neg scale\n\n", job)
        self.assertIsNotNone(m, job[:2000])
        # The driver's own header comes first, then the program's line, the file and the tail.
        self.assertTrue(job.startswith(b"%!PS-Adobe"), job[:200])
        self.assertGreater(m.start(), 0)
        self.assertEqual(job[m.end():m.end() + len(PLAIN) + len(tail)], PLAIN + tail)
        self.assertNotIn(b"\x04", job)


class ConversionTest(OutputTestCase):
    def setUp(self):
        if not converter_exe():
            self.skipTest("the tests' converter.exe has not been built")

    def conversion(self, command, **keys):
        values = {"DoConvBin": 1, "ConvComBin": command}
        values.update(keys)
        return values

    def test_converted_output_is_analysed_and_printed(self):
        data = binary(5000, seed=9)
        path = bench.put_file("C:\\tests\\out\\conv.bin", data)
        result = self.run_ravlen(["/q", path], keys=self.conversion(
            CONVERTER + "?--prefix CONVERTED: &i &o"))
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - conv.bin", b"CONVERTED:" + data)])

    def test_response_file_and_program_path_with_blank(self):
        data = binary(2000, seed=11)
        path = bench.put_file("C:\\tests\\out\\resp.bin", data)
        result = self.run_ravlen(["/q", path], keys=self.conversion(
            CONVERTER_WITH_BLANK + "?--exit 1 @--prefix R: &i &o"))
        # The exit code is the program's business; its output counts.
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - resp.bin", b"R:" + data)])

    def test_postscript_converted_to_printer_data(self):
        path = bench.put_file("C:\\tests\\out\\conv.ps", STRUCTURED)
        keys = {"DoConvPS": 1, "ConvComPS": CONVERTER + "?--hex &i &o", "NUpPs": 1}
        result = self.run_ravlen(["/q", path], keys=keys)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1)
        # The converter's output (hexadecimal digits: printer data, not PostScript) is sent
        # as it is; it holds the n-up job composed for a file, without end-of-job characters.
        job = bytes.fromhex(result.jobs[0][1].decode("ascii"))
        self.assertTrue(job.startswith(b"%!"), job[:100])
        self.assertIn(b"RavlenDict", job)
        self.assertIn(b"%%Page: 3 3\n72 72 moveto (three) show showpage\n", job)
        self.assertNotIn(b"\x04", job)

    def test_converter_that_writes_nothing_gives_message_64(self):
        path = bench.put_file("C:\\tests\\out\\empty.bin", binary(100))
        result = self.run_ravlen(["/q", path], keys=self.conversion(
            CONVERTER + "?--empty &i &o"))
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [(ERROR, "Conversion failed")])

    def test_converter_that_prints_by_itself_leaves_nothing_to_print(self):
        path = bench.put_file("C:\\tests\\out\\self.bin", binary(100))
        result = self.run_ravlen(["/q", path], keys=self.conversion(
            CONVERTER + "?&i &o", ConvPrintBin=1))
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [])

    def test_converter_that_prints_by_itself_and_fails_keeps_the_file_under_delete(self):
        # Nothing came out: its exit code, the only word it gives, fails the file, which
        # /delete therefore keeps.
        path = bench.put_file("C:\\tests\\out\\failed.bin", binary(100))
        result = self.run_ravlen(["/q", "/delete", path], keys=self.conversion(
            CONVERTER + "?--exit 3 &i &o", ConvPrintBin=1))
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [(ERROR, "The conversion program ended with exit code 3; "
                                                "nothing has been printed")])
        self.assertEqual(bench.read_file(path), binary(100))

    def test_missing_converter_gives_message_17(self):
        path = bench.put_file("C:\\tests\\out\\missing.bin", binary(100))
        result = self.run_ravlen(["/q", path], keys=self.conversion(
            "C:\\tests\\conv\\nothing.exe?&i &o"))
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.boxes, [(ERROR, "Failed to start conversion program")])

    def test_batch_converter_gets_a_crafted_relative_name_whole(self):
        # cmd.exe reads a batch converter's command line. The template quotes its own tokens,
        # and the name, given relative to the program's directory, holds "&": the converter
        # the batch file calls, in its own directory, gets the file by its full path, and
        # nothing after the "&" runs.
        data = binary(1500, seed=13)
        name = "x&mkdir ran&.bin"
        bench.put_file("C:\\tests\\out\\" + name, data)
        batch = bench.put_file("C:\\tests\\conv\\conv.bat",
                               '@"%~dp0converter.exe" --prefix B: %1 %2\r\n')
        for directory in ("C:\\tests\\conv\\ran", "C:\\tests\\out\\ran"):
            bench.remove(directory)
        result = self.run_ravlen(["/q", name], cwd=bench.unix_path("C:\\tests\\out"),
                                 keys=self.conversion(batch + '?"&i" "&o"'))
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - " + name, b"B:" + data)])
        for directory in ("C:\\tests\\conv\\ran", "C:\\tests\\out\\ran"):
            self.assertFalse(os.path.exists(bench.unix_path(directory)), directory)

    def test_stop_ends_a_slow_converter(self):
        path = bench.put_file("C:\\tests\\out\\slow.bin", binary(100))
        # The converter writes this file once it has slept: a process ended by Stop never does.
        done = "C:\\tests\\out\\slow-done.txt"
        bench.remove(done)
        started = time.monotonic()

        def stop(running):
            time.sleep(3)
            running.command(IDC_STOP)

        # Without /q the main window, with its Stop button, shows while the batch runs.
        result = self.run_ravlen([path], interact=stop, timeout=60, keys=self.conversion(
            CONVERTER + "?--sleep 12000 --where " + done + " &i &o", QuitFromComLine=1))
        self.assertLess(time.monotonic() - started, 10)
        self.assertEqual(result.jobs, [])
        self.assertEqual(result.exit_code, 0)
        time.sleep(max(0, started + 16 - time.monotonic()))
        self.assertIsNone(bench.read_file(done), "the converter ran on after Stop")


class StopTest(OutputTestCase):
    def test_stop_during_a_long_raw_transfer_aborts_the_job(self):
        size = 150 * 1024 * 1024
        path = "C:\\bench\\stop.bin"
        unix = bench.unix_path(path)
        os.makedirs(os.path.dirname(unix), exist_ok=True)
        block = binary(1 << 20)
        with open(unix, "wb") as f:
            for _ in range(size // len(block)):
                f.write(block)

        # The progress window shows once the first piece has gone out; its Cancel is pressed
        # from inside the program at that moment, so the rest of the transfer is still ahead
        # however fast the machine is.
        try:
            result = self.run_ravlen([path], timeout=120,
                                     press_on_show=("Printing stop.bin", IDC_STOP),
                                     keys={"QuitFromComLine": 1, "ProgrBar": 1})
        finally:
            os.remove(unix)
        self.assertTrue([e for e in result.events if e.get("event") == "pressed"],
                        "the progress window never showed")
        self.assertEqual(result.boxes, [])
        # The spooler discards the aborted job, or keeps the part it had.
        for _, job in result.jobs:
            self.assertLess(len(job), size)
            self.assertTrue(block.startswith(job[:len(block)]))


if __name__ == "__main__":
    unittest.main()
