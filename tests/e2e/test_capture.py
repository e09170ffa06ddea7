"""End-to-end tests of clipboard and standard-input printing: ravlen.exe /c and /- under Wine,
with the clipboard filled by winauto and standard input read from a file. Run through
run_tests.py."""

import glob
import os
import unittest

import bench as bench_module

bench = None

ERROR = "Ravlen Error"
WARNING = "Ravlen Warning"
CONVERTER = "C:\\tests\\conv\\converter.exe"


def setUpModule():
    global bench
    bench = bench_module.shared_bench()
    bench.put_test_converter(CONVERTER)


def settings(**keys):
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 0}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def temp_dir():
    """The Unix path of the temporary directory that programs in the prefix use."""
    found = glob.glob(os.path.join(bench.drive_c, "users", "*", "AppData", "Local", "Temp")) + \
        glob.glob(os.path.join(bench.drive_c, "users", "*", "Temp"))
    found = [p for p in found if not os.path.islink(os.path.dirname(os.path.dirname(p)))]
    return found[0]


def clip(*args):
    bench.winauto("clip", *args)


class CaptureTestCase(unittest.TestCase):
    def run_ravlen(self, args, **options):
        options.setdefault("settings", settings())
        result = bench.run(args, **options)
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(result.exit_code, 0)
        return result

    def assertCaptureGone(self, name):
        self.assertFalse(os.path.exists(os.path.join(temp_dir(), name)), name)


class ClipboardTest(CaptureTestCase):
    def test_clipboard_text_prints_through_a_file_that_is_then_deleted(self):
        text = "Clipboard line one\r\nline two\r\n"
        clip("--text", text)
        result = self.run_ravlen(["/c", "ignored.txt"])
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - clipboard", text.encode())])
        self.assertEqual(result.windows, [])
        self.assertCaptureGone("clipboard")

        # Printing that fails still leaves no capture file behind.
        clip("--text", text)
        empty = CONVERTER + "?--empty &i &o"
        result = self.run_ravlen(["/c"], settings=settings(
            DoConvTxt=1, ConvComTxt=empty, DoConvBin=1, ConvComBin=empty))
        self.assertEqual(result.boxes, [(ERROR, "Conversion failed")])
        self.assertEqual(result.jobs, [])
        self.assertCaptureGone("clipboard")

    def test_an_existing_capture_file_is_replaced_only_when_the_user_says_yes(self):
        existing = os.path.join(temp_dir(), "notes.txt")
        with open(existing, "wb") as f:
            f.write(b"keep me\r\n")
        windows_path = "C:" + existing[len(bench.drive_c):].replace("/", "\\")
        question = (WARNING, "A file with the same name as the temporary clipboard text file "
                             "already exist \n(%s)\nAre you sure that you want to overwrite it?"
                    % windows_path)
        clip("--text", "new text")
        result = self.run_ravlen(["/c:notes.txt"], answers=["NO"])
        self.assertEqual([(t, x.lower()) for t, x in result.boxes],
                         [(question[0], question[1].lower())])
        self.assertEqual(result.box_events[0]["buttons"], ["YES", "NO"])
        self.assertEqual(result.jobs, [])
        with open(existing, "rb") as f:
            self.assertEqual(f.read(), b"keep me\r\n")

        clip("--text", "new text")
        result = self.run_ravlen(["/c:notes.txt"], answers=["YES"])
        self.assertEqual([(t, x.lower()) for t, x in result.boxes],
                         [(question[0], question[1].lower())])
        self.assertEqual(result.jobs, [("Ravlen - notes.txt", b"new text")])
        self.assertCaptureGone("notes.txt")

    def test_a_clipboard_without_text_is_reported_and_nothing_prints(self):
        for args in (["--empty"], ["--bitmap"]):
            with self.subTest(clipboard=args):
                clip(*args)
                result = self.run_ravlen(["/c"])
                self.assertEqual(result.boxes,
                                 [(ERROR, "The clipboard does not contain any text")])
                self.assertEqual(result.jobs, [])
                self.assertCaptureGone("clipboard")


class StandardInputTest(CaptureTestCase):
    def test_standard_input_prints_byte_for_byte_and_the_file_goes(self):
        data = b"\x1bE piped job\r\n\x1a\x00tail\n" * 50
        source = bench.put_file("C:\\tests\\capture\\piped.bin", data)
        result = self.run_ravlen(["/-:piped.prn"], stdin=source)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.jobs, [("Ravlen - piped.prn", data)])
        self.assertCaptureGone("piped.prn")

    def test_a_capture_file_that_cannot_be_made_is_reported_by_its_path(self):
        blocked = os.path.join(temp_dir(), "blocked")
        os.makedirs(blocked, exist_ok=True)
        source = bench.put_file("C:\\tests\\capture\\short.txt", b"short\r\n")
        try:
            result = self.run_ravlen(["/-:blocked"], stdin=source)
        finally:
            os.rmdir(blocked)
        windows_path = "C:" + blocked[len(bench.drive_c):].replace("/", "\\")
        self.assertEqual([(t, x.lower()) for t, x in result.boxes],
                         [(ERROR, ("Failed to create temporary file: " + windows_path).lower())])
        self.assertEqual(result.jobs, [])


if __name__ == "__main__":
    unittest.main()
