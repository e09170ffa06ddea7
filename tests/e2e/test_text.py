"""End-to-end tests of text file printing: ravlen.exe under Wine formats a text file on a
printer device context, Wine's own PostScript driver renders it, and the job that reaches the
bench's capture printer is read back with Ghostscript (its page count and its text extraction)
and, for fonts and colours, from the PostScript the driver wrote. Run through run_tests.py
(ctest: e2e)."""

import os
import re
import shutil
import time
import unittest

import bench as bench_module
from ghostscript import page_texts, sheet_count

bench = None

DIR = "C:\\tests\\text\\"
# 5 December 2026, 14:03 local time: the date every test file carries.
FILE_TIME = (2026, 12, 5, 14, 3, 0)
FILE_DATE = "05-Dec-2026 14:03"
# The colours of the shipped definitions for C, as the driver writes them.
KEYWORD_BLUE = (0.0, 0.0, 0.63)
COMMENT_GREEN = (0.0, 0.5, 0.0)
BLACK = (0.0, 0.0, 0.0)


def setUpModule():
    global bench
    if not shutil.which("gs"):
        raise unittest.SkipTest("Ghostscript (gs) is not installed")
    bench = bench_module.shared_bench()


def settings(**keys):
    """One logical page per portrait sheet, no frame, no printer dialog. Lines and characters
    per line are both given (SizeOp 2), so that pages and rows are easily counted. The text
    block is kept low by wide top and bottom margins, so that few lines make a small font:
    the driver draws every face in its natural proportions, whatever width the program asks
    for, and the characters of a row must not be wider than the columns it was laid out in."""
    values = {"ShowPrintDlg": 0, "EnableTextPrint": 1, "Landscape": 0, "Width": 1, "Height": 1,
              "Frame": 0, "SizeOp": 2, "Lines": 8, "Chars": 40, "TopMarg": 5, "BottomMarg": 5}
    values.update(keys)
    return {"General": {"Version": "2.1.5"},
            "Settings List": {"Default settings": 1},
            "Default settings": values}


def lines_file(count, prefix="L"):
    """Lines "L01" to "Lnn", each unique and easy to find."""
    return "".join("%s%02d\r\n" % (prefix, i) for i in range(1, count + 1)).encode()


def pages_for(rows, lines_per_page, cells=1):
    """Logical pages and sheets for a number of rows, as the program counts them."""
    logical = (rows + lines_per_page - 1) // lines_per_page
    return logical, (logical + cells - 1) // cells


# ---- reading the captured job ----

# The face the driver uses shares some glyphs between characters, and names them after the
# other one: the blank is drawn as the no-break space, the hyphen as the soft hyphen and the
# semicolon as the Greek question mark. They are read as what they stand for.
SHARED_GLYPHS = {0xA0: " ", 0xAD: "-", 0x37E: ";"}


def extracted_pages(ps):
    """Ghostscript's text extraction of each page: a list of pages, each a list of lines."""
    return [[line.rstrip() for line in text.translate(SHARED_GLYPHS).splitlines()]
            for text in page_texts(ps)]


def squeeze(line):
    return re.sub(r"\s+", " ", line).strip()


# Glyph names of the printable ASCII characters that are not their own name.
GLYPH_NAMES = {
    "space": " ", "exclam": "!", "quotedbl": '"', "numbersign": "#", "dollar": "$",
    "percent": "%", "ampersand": "&", "quotesingle": "'", "parenleft": "(", "parenright": ")",
    "asterisk": "*", "plus": "+", "comma": ",", "hyphen": "-", "period": ".", "slash": "/",
    "zero": "0", "one": "1", "two": "2", "three": "3", "four": "4", "five": "5", "six": "6",
    "seven": "7", "eight": "8", "nine": "9", "colon": ":", "semicolon": ";", "less": "<",
    "equal": "=", "greater": ">", "question": "?", "at": "@", "bracketleft": "[",
    "backslash": "\\", "bracketright": "]", "asciicircum": "^", "underscore": "_",
    "grave": "`", "braceleft": "{", "bar": "|", "braceright": "}", "asciitilde": "~",
    "guillemotright": "\u00bb",
}


def glyph_text(name):
    if len(name) == 1:
        return name
    if name in GLYPH_NAMES:
        return GLYPH_NAMES[name]
    m = re.match(r"^uni([0-9A-F]{4})$", name)
    return chr(int(m.group(1), 16)).translate(SHARED_GLYPHS) if m else "?"


def drawn_pieces(ps):
    """The text as the driver drew it: [(page, font, colour, text)], one piece for each run
    of glyphs shown from one position in one font and colour. The driver selects a font with
    "/Name findfont <matrix> makefont setfont", a colour with "r g b setrgbcolor", starts a
    run with "x y moveto" and shows each character with "/name glyphshow"; glyph outlines are
    downloaded in between ("/Name findfont dup ... end end")."""
    pieces = []
    page, font, named, colour = 0, None, None, BLACK
    saved = []
    current = None
    downloading = False
    for line in ps.decode("latin-1").splitlines():
        line = line.strip()
        if downloading:
            downloading = line != "end end"
            continue
        if line.startswith("%%Page:"):
            page += 1
            current = None
        elif line.endswith("findfont dup"):
            downloading = True
        elif re.match(r"^/\S+ findfont$", line):
            named = line.split()[0][1:]
        elif line.endswith("makefont setfont") and named:
            font, current = named, None
        elif line.endswith("setrgbcolor"):
            colour = tuple(float(v) for v in line.split()[:3])
            current = None
        elif line == "gsave":
            saved.append((font, colour))
        elif line == "grestore" and saved:
            font, colour = saved.pop()
        elif line.endswith(" moveto"):
            current = None
        elif line.endswith(" glyphshow"):
            text = glyph_text(line.split()[0][1:])
            if current is None:
                current = [page, font, colour, ""]
                pieces.append(current)
            current[3] += text
    return [tuple(p) for p in pieces]


class TextTestCase(unittest.TestCase):
    def print_text(self, name, data, args=(), **keys):
        """Prints one text file with the given settings; returns the captured PostScript."""
        path = bench.put_file(DIR + name, data)
        stamp = time.mktime(FILE_TIME + (0, 0, -1))
        os.utime(bench.unix_path(path), (stamp, stamp))
        result = bench.run(list(args) + ["/q", path], settings=settings(**keys))
        self.assertFalse(result.timed_out, "ravlen did not end: %r" % result)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(len(result.jobs), 1, result)
        self.assertEqual(result.jobs[0][0], "Ravlen - " + name)
        ps = result.jobs[0][1]
        self.assertTrue(ps.startswith(b"%!PS-Adobe"), ps[:100])
        return ps

    def pages(self, ps, sheets):
        """The extracted pages, after checking that there are as many as expected sheets."""
        self.assertEqual(sheet_count(ps), sheets)
        pages = extracted_pages(ps)
        self.assertEqual(len(pages), sheets, pages)
        return pages

    def body(self, page, pattern=r"^L\d\d$"):
        """The squeezed lines of a page that match the pattern."""
        return [squeeze(line) for line in page if re.match(pattern, squeeze(line))]

    def assertHeader(self, line, name, page, total):
        """The default header: the name at the left, the date in the middle, the page at the
        right."""
        self.assertRegex(squeeze(line), r"^%s %s Page %d\(%d\)$"
                         % (re.escape(name), re.escape(FILE_DATE), page, total))


class LayoutTest(TextTestCase):
    def test_default_header_on_every_page_and_one_sheet_per_page(self):
        # 20 rows at 8 a page: 3 logical pages, each with its header and its rows in order.
        logical, sheets = pages_for(20, 8)
        pages = self.pages(self.print_text("notes.txt", lines_file(20)), sheets)
        self.assertEqual((logical, sheets), (3, 3))
        for n, page in enumerate(pages, 1):
            header = [line for line in page if line.strip()][0]
            self.assertHeader(header, "notes.txt", n, logical)
            first = (n - 1) * 8 + 1
            self.assertEqual(self.body(page),
                             ["L%02d" % i for i in range(first, min(first + 8, 21))])

    def test_header_runs_and_literal_ampersands(self):
        ps = self.print_text("runs.txt", b"x\r\n", HeaderStr="&lLeft&cMiddle&rRight R&&D&x")
        page = self.pages(ps, 1)[0]
        self.assertEqual(squeeze([line for line in page if line.strip()][0]),
                         "Left Middle Right R&D")

    def test_n_up_cells_are_filled_in_the_chosen_order(self):
        # 18 rows at 4 a page: 5 logical pages on a 2 x 2 grid take 2 sheets.
        logical, sheets = pages_for(18, 4, cells=4)
        self.assertEqual((logical, sheets), (5, 2))
        for across, rows in ((1, [("L01", "L05"), ("L09", "L13")]),
                             (0, [("L01", "L09"), ("L05", "L13")])):
            with self.subTest(AdvHoriz=across):
                ps = self.print_text("grid.txt", lines_file(18), Width=2, Height=2, Lines=4,
                                     AdvHoriz=across)
                first, second = self.pages(ps, sheets)
                text = [squeeze(line) for line in first]
                # Cells side by side share their lines: "L01 L05" is a row of the top cells.
                for left, right in rows:
                    self.assertIn("%s %s" % (left, right), text)
                headers = [line for line in text if "Page" in line]
                self.assertEqual(len(headers), 2, text)
                order = [int(n) for n in re.findall(r"Page (\d)\(5\)", " ".join(headers))]
                self.assertEqual(order, [1, 2, 3, 4] if across else [1, 3, 2, 4])
                self.assertEqual(self.body(second), ["L17", "L18"])

    def test_two_cells_side_by_side_without_horizontal_order(self):
        # With one row of cells the second page still goes to the right-hand cell.
        ps = self.print_text("pair.txt", lines_file(6), Width=2, Height=1, Lines=4,
                             AdvHoriz=0, HeaderStr="")
        page = self.pages(ps, 1)[0]
        self.assertEqual([squeeze(line) for line in page if line.strip()],
                         ["L01 L05", "L02 L06", "L03", "L04"])

    def test_paper_bound_header_counts_sheets(self):
        # 5 logical pages two to a sheet: 3 sheets, each with one header for the sheet.
        logical, sheets = pages_for(18, 4, cells=2)
        self.assertEqual((logical, sheets), (5, 3))
        ps = self.print_text("bound.txt", lines_file(18), Width=2, Height=1, Lines=4,
                             Chars=15, PprBndHd=1)
        for n, page in enumerate(self.pages(ps, sheets), 1):
            headers = [line for line in page if "Page" in line]
            self.assertEqual(len(headers), 1, page)
            self.assertHeader(headers[0], "bound.txt", n, sheets)

    def test_default_settings_print_two_pages_a_landscape_sheet(self):
        # The shipped layout: 2 x 1 on landscape paper with frames, 75 rows a page.
        logical, sheets = pages_for(160, 75, cells=2)
        self.assertEqual((logical, sheets), (3, 2))
        keys = {"Landscape": 1, "Width": 2, "Height": 1, "Frame": 1, "SizeOp": 0, "Lines": 75,
                "TopMarg": 0.35, "BottomMarg": 0.35}
        ps = self.print_text("wide.txt", lines_file(160, prefix="M"), **keys)
        self.assertEqual(sheet_count(ps), sheets)
        drawn = "".join(text for _, _, _, text in drawn_pieces(ps))
        for n in range(1, logical + 1):
            self.assertIn("Page %d(%d)" % (n, logical), drawn)
        self.assertIn("M160", drawn)


class RowsTest(TextTestCase):
    def test_wrapped_rows_break_after_blanks_and_count_towards_pages(self):
        data = (b"the quick brown fox jumps over the lazy dog\r\n"
                b"abcdefghijklmnopqrstuvwxyz\r\n"
                b"short\r\n")
        # At 20 columns: 3 + 2 + 1 rows; 4 rows a page gives 2 pages, which the header's
        # total counts too.
        ps = self.print_text("wrap.txt", data, WrapLines=1, Chars=20, Lines=4,
                             HeaderStr="&rPage &#(&t)")
        first, second = self.pages(ps, 2)
        rows = [squeeze(line) for line in first + second if line.strip()]
        self.assertEqual(rows, ["Page 1(2)", "the quick brown fox", "jumps over the lazy", "dog",
                                "abcdefghijklmnopqrst", "Page 2(2)", "uvwxyz", "short"])

    def test_long_rows_are_cut_with_a_marker(self):
        data = b"the quick brown fox jumps over the lazy dog\r\nexactly twenty chars\r\n"
        ps = self.print_text("cut.txt", data, Chars=20, Lines=4, HeaderStr="")
        page = self.pages(ps, 1)[0]
        self.assertEqual([squeeze(line) for line in page if line.strip()],
                         ["the quick brown fox\u00bb", "exactly twenty chars"])

    def test_line_numbers_count_file_lines(self):
        data = b"first\r\nsecond line that wraps\r\n\r\n" + lines_file(9)
        # 33 columns beside the numbers; 12 file lines in 13 rows at 8 a page.
        ps = self.print_text("numbers.txt", data, LineNo=1, WrapLines=1, Chars=20,
                             Lines=8, HeaderStr="")
        first, second = self.pages(ps, 2)
        rows = [line for line in first + second if line.strip()]
        self.assertEqual([squeeze(line) for line in rows[:4]],
                         ["1: first", "2: second line", "that wraps", "3:"])
        self.assertEqual(squeeze(rows[-1]), "12: L09")
        # Numbers right-aligned ("%5d:"), the text in a column of its own beside them, where
        # the continuation rows start too.
        self.assertEqual(len({line.index(":") for line in rows if ":" in line}), 1, rows)
        text_columns = {re.match(r"^\s*(?:\d+:)?\s*", line).end() for line in rows
                        if not line.endswith(":")}
        self.assertEqual(len(text_columns), 1, rows)

    def test_tabs_stop_at_the_tab_width(self):
        data = b"a\tb\tc\r\nabcd\tx\r\n\tz\r\n"
        ps = self.print_text("tabs.txt", data, TabCount=4, Chars=40, HeaderStr="")
        page = self.pages(ps, 1)[0]
        rows = [line for line in page if line.strip()]
        margin = min(len(line) - len(line.lstrip()) for line in rows)
        self.assertEqual([line[margin:] for line in rows], ["a   b   c", "abcd    x", "    z"])

    def test_form_feeds_start_new_pages_and_the_total_counts_them(self):
        # A leading page break, a break inside a line, one on a line of its own, one right
        # after a full page, and a trailing one.
        data = (b"\fone\r\ntwo\fthree\r\n\f\r\n"
                + b"".join(b"F%d\r\n" % i for i in range(1, 5)) + b"\f\r\nlast\r\n\f")
        ps = self.print_text("feeds.txt", data, Lines=4)
        pages = self.pages(ps, 5)
        bodies = [[squeeze(line) for line in page if line.strip() and "Page" not in line]
                  for page in pages]
        self.assertEqual(bodies, [["one", "two"], ["three"], ["F1", "F2", "F3", "F4"], [],
                                  ["last"]])
        for n, page in enumerate(pages, 1):
            self.assertHeader([line for line in page if "Page" in line][0], "feeds.txt", n, 5)


class DosTextTest(TextTestCase):
    # A box drawn with code page 437 characters, accented words inside it.
    BOX = (b"\xda\xc4\xc4\xc4\xbf\r\n"
           b"\xb3caf\x82 \x81ber \x84\x94\xa4\xb3\r\n"
           b"\xc0\xc4\xc4\xc4\xd9\r\n")

    def rows(self, ps):
        return [squeeze(line) for line in self.pages(ps, 1)[0] if line.strip()]

    def test_dos_text_is_printed_as_its_windows_equivalents(self):
        translated = ["+---+", "\u00a6caf\u00e9 \u00fcber \u00e4\u00f6\u00f1\u00a6", "+---+"]
        for mode in (1, 2):
            with self.subTest(OEMTrans=mode):
                ps = self.print_text("box.txt", self.BOX, OEMTrans=mode, HeaderStr="")
                self.assertEqual(self.rows(ps), translated)

    def test_without_translation_the_bytes_print_as_windows_characters(self):
        ps = self.print_text("box.txt", self.BOX, OEMTrans=0, HeaderStr="")
        self.assertEqual(self.rows(ps)[0], self.BOX[:5].decode("cp1252"))

    def test_automatic_mode_translates_from_the_first_line_on(self):
        # Line drawing alone (above 164) does not mark a file; an accented letter does, even
        # in the last line.
        lines = b"\xc4\xc4\xc4\r\n"
        ps = self.print_text("plain.txt", lines, OEMTrans=1, HeaderStr="")
        self.assertEqual(self.rows(ps), ["\u00c4\u00c4\u00c4"])
        ps = self.print_text("late.txt", lines + b"caf\x82\r\n", OEMTrans=1, HeaderStr="")
        self.assertEqual(self.rows(ps), ["---", "caf\u00e9"])


class HighlightingTest(TextTestCase):
    SOURCE = (b"/* add two numbers */\r\n"
              b"int add(int a, int b)\r\n"
              b"{\r\n"
              b"    return a + b; // sum\r\n"
              b"}\r\n")

    def styled(self, ps):
        """The body's pieces: [(text, style, colour)] with style "bold", "italic" or
        "regular" read from the face name the driver chose."""
        out = []
        for _, font, colour, text in drawn_pieces(ps):
            style = ("bold" if re.search("Bold", font or "") else
                     "italic" if re.search("Italic|Oblique", font or "") else "regular")
            out.append((text, style, colour))
        return out

    def test_shipped_definitions_lie_beside_the_program(self):
        self.assertTrue(os.path.isfile(os.path.join(os.path.dirname(bench.ravlen), "pp.txt")))

    def test_keywords_and_comments_of_a_c_file_in_their_fonts_and_colours(self):
        ps = self.print_text("add.c", self.SOURCE, PrettyPrint=1, HeaderStr="", Chars=40)
        pieces = self.styled(ps)
        self.assertIn(("/* add two numbers */", "italic", COMMENT_GREEN), pieces)
        self.assertIn(("// sum", "italic", COMMENT_GREEN), pieces)
        keywords = [text for text, style, colour in pieces
                    if style == "bold" and colour == KEYWORD_BLUE]
        self.assertEqual(keywords, ["int", "int", "int", "return"])
        normal = "".join(text for text, style, colour in pieces
                         if style == "regular" and colour == BLACK)
        for text in (" add(", " a, ", " b)", "{", " a + b; ", "}"):
            self.assertIn(text, normal)
        # Every piece is one of the three.
        self.assertEqual([p for p in pieces if p[1:] not in (("italic", COMMENT_GREEN),
                                                             ("bold", KEYWORD_BLUE),
                                                             ("regular", BLACK))], [])

    def test_definitions_file_from_the_command_line(self):
        definitions = bench.put_file(
            DIR + "defs.txt",
            b"TYPE=.xyz|\r\nKEYWORDS=alpha omega\r\nKEYWORD-STYLE=italic\r\n"
            b"KEYWORD-COL=255,0,0\r\nCOMMENT-SINGLE=#!\r\nCOMMENT-STYLE=bold\r\n")
        ps = self.print_text("words.xyz", b"alpha beta omega #! note\r\n",
                             args=["/p:" + definitions], PrettyPrint=1, HeaderStr="", Chars=40)
        self.assertEqual(self.styled(ps), [("alpha", "italic", (1.0, 0.0, 0.0)),
                                           (" beta ", "regular", BLACK),
                                           ("omega", "italic", (1.0, 0.0, 0.0)),
                                           (" ", "regular", BLACK),
                                           ("#! note", "bold", BLACK)])

    def test_without_pretty_printing_everything_is_plain(self):
        ps = self.print_text("add.c", self.SOURCE, PrettyPrint=0, HeaderStr="", Chars=40)
        self.assertEqual({p[1:] for p in self.styled(ps)}, {("regular", BLACK)})


if __name__ == "__main__":
    unittest.main()


class UnicodeTest(TextTestCase):
    """Unicode files print as the characters they hold, through a TrueType face that has
    them all."""
    FONT = "DejaVu Sans Mono"
    LINES = ["d\u00e9j\u00e0 vu, Stra\u00dfe, \u00fcber",
             "\u03b1\u03b2\u03b3 \u0394\u03b5\u03bb\u03c4\u03b1",
             "\u0434\u0430 \u041c\u043e\u0441\u043a\u0432\u0430",
             "\u20ac 5 \u250c\u2500\u2510 \u2502x\u2502 \u2514\u2500\u2518"]

    def setUp(self):
        if not os.path.isfile(bench_module.MONO_FONT):
            self.skipTest("DejaVu Sans Mono is not installed")

    def rows(self, ps):
        return [squeeze(line) for line in self.pages(ps, 1)[0] if line.strip()]

    def text(self):
        return "".join(line + "\r\n" for line in self.LINES)

    def test_utf8_with_and_without_a_mark(self):
        for name, data in (("plain8.txt", self.text().encode("utf-8")),
                           ("mark8.txt", b"\xef\xbb\xbf" + self.text().encode("utf-8"))):
            with self.subTest(name):
                ps = self.print_text(name, data, FontName=self.FONT, HeaderStr="")
                self.assertEqual(self.rows(ps), [squeeze(line) for line in self.LINES])

    def test_utf16_with_a_mark_in_either_byte_order(self):
        for name, data in (("le16.txt", b"\xff\xfe" + self.text().encode("utf-16-le")),
                           ("be16.txt", b"\xfe\xff" + self.text().encode("utf-16-be"))):
            with self.subTest(name):
                ps = self.print_text(name, data, FontName=self.FONT, HeaderStr="")
                self.assertEqual(self.rows(ps), [squeeze(line) for line in self.LINES])

    def test_ansi_text_prints_as_before(self):
        # Bytes 0xC0 to 0xFF that are no UTF-8 are still Windows characters, byte by byte,
        # and the job draws them as single-byte glyph runs like any ANSI file.
        data = "\u00c0 la fa\u00e7on, \u00e9t\u00e9 \u00ff\u00d6\r\n".encode("cp1252")
        ps = self.print_text("ansi.txt", data, FontName=self.FONT, HeaderStr="")
        self.assertEqual(self.rows(ps), [squeeze(data.decode("cp1252"))])

    def test_wrapping_breaks_at_the_same_column_as_the_ascii_twin(self):
        unicode_line = " ".join(["\u00e9\u20ac\u03b1\u0434\u2500"] * 12)
        ascii_line = " ".join(["eEadx"] * 12)
        rows = {}
        for name, line in (("twin8.txt", unicode_line), ("twin.txt", ascii_line)):
            ps = self.print_text(name, (line + "\r\n").encode("utf-8"), FontName=self.FONT,
                                 HeaderStr="", WrapLines=1, Chars=40)
            rows[name] = [len(row) for row in self.rows(ps)]
        self.assertEqual(rows["twin8.txt"], rows["twin.txt"])
        self.assertEqual(rows["twin.txt"][0], 35)  # "eEadx " six times, less the last blank

    def test_bad_bytes_late_in_the_file_print_as_replacement_characters(self):
        # Valid UTF-8 for more than 64 KB, then a Latin-1 byte: every line still prints.
        line = ("\u00e9" * 38 + "\r\n").encode("utf-8")
        data = line * (70 * 1024 // len(line) + 1) + b"caf\xe9!\r\n"
        ps = self.print_text("late.txt", data, FontName=self.FONT, HeaderStr="", Lines=60,
                             TopMarg=0.5, BottomMarg=0.5)
        pages = extracted_pages(ps)
        last = [squeeze(line) for line in pages[-1] if line.strip()]
        self.assertEqual(last[-1], "caf\ufffd!")
        rows = sum(len([l for l in page if l.strip()]) for page in pages)
        self.assertEqual(rows, data.count(b"\n"))
