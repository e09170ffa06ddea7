#!/usr/bin/env python3
"""The composed PostScript jobs judged by Ghostscript.

Usage: ghostscript_checks.py COMPOSE_TOOL

Each job is composed by the tool (through the spooler channel, so with the
end-of-job characters, which are stripped as a printer would), rendered with
gs -dSAFER on letter paper, and checked by what Ghostscript reports: the
number of sheets, the bounding box of the marks on each sheet (bbox device),
and where each page's marker text lands (txtwrite). Documents made by other
programs (enscript, a2ps, groff, Ghostscript's ps2write from a PDF,
and Wine's PostScript printer driver) are generated here, with page k
carrying the marker MARKkk and k lines of text so that every page has a box
of its own.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

TOOL = None
WORK = None
PAGE_W, PAGE_H = 612.0, 792.0
FAILURES = []
CHECKS = 0
DEFAULTS = dict(LeftMarg=0.7, RightMarg=0.35, TopMarg=0.35, BottomMarg=0.35, xGutter=0.1,
                yGutter=0.1, Width=2, Height=1, Landscape=1, AdvHoriz=1, Frame=1,
                FrameWidth=0.003)


def check(condition, message):
    global CHECKS
    CHECKS += 1
    if not condition:
        FAILURES.append(message)
        print("FAIL:", message)


def run(args, **kw):
    return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


# ---------------------------------------------------------------- documents

def synthetic_document(pages, atend=False, style="inside"):
    """A DSC document; page k shows PAGEkk. style: where the page's save and
    restore stand around showpage ("inside": restore then showpage; "across":
    showpage then restore; "gsave": gsave/showpage/grestore)."""
    out = ["%!PS-Adobe-3.0", "%%Creator: checks", "%%Pages: (atend)" if atend else
           "%%%%Pages: %d" % pages, "%%EndComments", "%%BeginProlog",
           "/F { /Helvetica findfont 30 scalefont setfont } bind def", "%%EndProlog",
           "%%BeginSetup", "%%EndSetup"]
    for k in range(1, pages + 1):
        out.append("%%%%Page: %d %d" % (k, k))
        body = "F 100 %d moveto (PAGE%02d) show" % (300 + 20 * k, k)
        if style == "inside":
            out += ["/pgsave save def", body, "pgsave restore", "showpage"]
        elif style == "across":
            out += ["/pgsave save def", body, "showpage", "pgsave restore"]
        else:
            out += ["gsave", "initgraphics", body, "showpage", "grestore"]
    out.append("%%Trailer")
    if atend:
        out.append("%%%%Pages: %d" % pages)
    out.append("%%EOF")
    return ("\n".join(out) + "\n").encode()


def write(name, data):
    path = os.path.join(WORK, name)
    with open(path, "wb") as f:
        f.write(data)
    return path


def marker_text(pages):
    return "\f".join("MARK%02d\n" % k + "".join("line %d of page %d\n" % (i, k)
                                               for i in range(1, k + 1))
                     for k in range(1, pages + 1))


def third_party_documents(pages):
    """(name, path) of the documents the installed tools make; a tool that is
    missing is a failure, since setup installs them all."""
    docs = []
    text = write("markers.txt", marker_text(pages).encode())
    for name, command in [
        ("enscript", ["enscript", "-q", "-M", "Letter", "-p", "{out}", text]),
        ("a2ps", ["a2ps", "-q", "-1", "--medium=Letter", "-o", "{out}", text]),
    ]:
        out = os.path.join(WORK, name + ".ps")
        result = run([a.replace("{out}", out) for a in command])
        check(result.returncode == 0 and os.path.exists(out), "%s runs" % name)
        if os.path.exists(out):
            docs.append((name, out))
    roff = "\n.bp\n".join("MARK%02d\n" % k + "".join(".br\nline %d of page %d\n" % (i, k)
                                                     for i in range(1, k + 1))
                          for k in range(1, pages + 1))
    roff_path = write("markers.roff", roff.encode())
    groff = run(["groff", "-Tps", "-dpaper=letter", "-P-pletter", roff_path])
    check(groff.returncode == 0, "groff runs")
    if groff.returncode == 0:
        groff_ps = write("groff.ps", groff.stdout)
        docs.append(("groff", groff_ps))
        pdf = os.path.join(WORK, "groff.pdf")
        ps2write = os.path.join(WORK, "ps2write.ps")
        made = run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sPAPERSIZE=letter",
                    "-sDEVICE=pdfwrite", "-sOutputFile=" + pdf, groff_ps]).returncode == 0 and \
            run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sPAPERSIZE=letter",
                 "-sDEVICE=ps2write", "-sOutputFile=" + ps2write, pdf]).returncode == 0
        check(made, "ps2write makes PostScript from a PDF")
        if made:
            docs.append(("ps2write", ps2write))
    wine = wine_driver_document(pages)
    if wine:
        docs.append(("wineps", wine))
    return docs


def wine_driver_document(pages):
    """The same pages printed through Wine's PostScript printer driver by a
    small Windows program, in a Wine prefix kept beside the tool."""
    compiler = shutil.which("x86_64-w64-mingw32-gcc")
    wine = "/usr/lib/wine/wine64"
    check(compiler is not None and os.path.exists(wine), "MinGW and Wine are installed")
    if compiler is None or not os.path.exists(wine):
        return None
    exe = os.path.join(WORK, "winps_doc.exe")
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "winps_doc.c")
    built = run([compiler, "-O2", "-o", exe, source, "-lwinspool", "-lgdi32"])
    check(built.returncode == 0, "the driver's document program builds: %s" % built.stderr)
    if built.returncode != 0:
        return None
    env = dict(os.environ, WINEPREFIX=os.path.join(os.path.dirname(TOOL), "wineps-prefix"),
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    out = os.path.join(WORK, "wineps.ps")
    printed = run([wine, exe, "Z:" + out.replace("/", "\\"), str(pages)], env=env, timeout=600)
    run(["/usr/lib/wine/wineserver", "-k"], env=env)
    check(printed.returncode == 0 and os.path.exists(out),
          "Wine's PostScript driver prints: %s" % printed.stderr.decode("latin-1")[-400:])
    return out if os.path.exists(out) else None


# ---------------------------------------------------------------- the tool

def compose(source, name, settings=None, pages=None, display=None):
    """Composes `source` as a printer job; returns the job without the
    end-of-job characters."""
    args = [TOOL, "raw", "PSEOFChar=1"]
    for key, value in (settings or {}).items():
        args.append("%s=%s" % (key, value))
    if pages:
        args.append("pages=" + ",".join(str(p) for p in pages))
    if display:
        args.append("displayName=" + display)
    out = os.path.join(WORK, name)
    result = run(args + [source, out])
    check(result.returncode == 0, "%s: composing succeeds (%s)" % (name, result.stderr.decode()))
    with open(out, "rb") as f:
        job = f.read()
    check(job.startswith(b"\x04\n") and job.endswith(b"\x04"),
          "%s: the job starts with Ctrl-D and a line feed and ends with Ctrl-D" % name)
    job = job[2:-1] if job.startswith(b"\x04\n") and job.endswith(b"\x04") else job
    check(b"\x04" not in job, "%s: no other end-of-job character inside the job" % name)
    return write(name, job)


def analyze(source):
    result = run([TOOL, "analyze", source])
    fields = result.stdout.decode().split()
    return dict(zip(fields[0::2], fields[1::2]))


# ---------------------------------------------------------------- Ghostscript

def gs(device, path, extra=(), timeout=300):
    args = ["gs", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-sPAPERSIZE=letter",
            "-sDEVICE=" + device] + list(extra) + ["-sOutputFile=-", path]
    return run(args, timeout=timeout)


def bboxes(path, label, timeout=300):
    """Per-sheet HiResBoundingBox; None for an empty sheet."""
    result = gs("bbox", path, timeout=timeout)
    err = result.stderr.decode("latin-1")
    out = result.stdout.decode("latin-1")
    check(result.returncode == 0 and "Error" not in out + err,
          "%s: Ghostscript renders without error: %s" % (label, (out + err)[-400:]))
    boxes = []
    for line in err.splitlines():
        if line.startswith("%%HiResBoundingBox:"):
            v = [float(x) for x in line.split()[1:]]
            boxes.append(None if v[2] <= v[0] and v[3] <= v[1] else v)
    return boxes


def markers(path, pattern, label):
    """Per sheet: {marker: (x, y)} with y measured up from the bottom."""
    result = gs("txtwrite", path, ["-dTextFormat=0"])
    check(result.returncode == 0, "%s: txtwrite runs" % label)
    sheets = []
    for page in re.split(r"<page>", result.stdout.decode("utf-8", "replace"))[1:]:
        found = {}
        for span in re.finditer(r'<span bbox="([-\d.]+) ([-\d.]+) [-\d.]+ [-\d.]+"[^>]*>(.*?)</span>',
                                page, re.S):
            chars = "".join(re.findall(r'c="(.)"', span.group(3)))
            for m in re.finditer(pattern, chars):
                found[m.group(0)] = (float(span.group(1)), PAGE_H - float(span.group(2)))
        sheets.append(found)
    return sheets


# ---------------------------------------------------------------- geometry

class Layout:
    def __init__(self, s):
        self.s = s
        pts = lambda k: int(s[k] * 72 + 0.5)
        self.left, self.right, self.top, self.bottom = (pts("LeftMarg"), pts("RightMarg"),
                                                        pts("TopMarg"), pts("BottomMarg"))
        self.xg, self.yg = s["xGutter"] * 72, s["yGutter"] * 72
        self.nw, self.nh = s["Width"], s["Height"]
        dw = PAGE_W - self.left - self.right
        dh = PAGE_H - self.top - self.bottom
        if s["Landscape"]:
            dw, dh = dh, dw
        self.lw = (dw - self.xg * (self.nw - 1)) / self.nw
        self.lh = (dh - self.yg * (self.nh - 1)) / self.nh
        self.scale = min(self.lw / PAGE_W, self.lh / PAGE_H)
        self.xo = (self.lw - self.scale * PAGE_W) / 2
        self.yo = (self.lh - self.scale * PAGE_H) / 2

    def cells(self):
        return self.nw * self.nh

    def cell_origin(self, index):
        if self.s["AdvHoriz"]:
            col, row = index % self.nw, index // self.nw
        else:
            col, row = index // self.nh, index % self.nh
        x0 = (self.right if self.s["Landscape"] else self.left) + col * (self.lw + self.xg)
        y0 = (self.top if self.s["Landscape"] else self.bottom) + \
            (self.nh - 1 - row) * (self.lh + self.yg)
        return x0, y0

    def to_sheet(self, index, x, y, logical=True):
        x0, y0 = self.cell_origin(index)
        if logical:
            rx, ry = x0 + self.xo + self.scale * x, y0 + self.yo + self.scale * y
        else:
            rx, ry = x0 + x, y0 + y
        if self.s["Landscape"]:
            return PAGE_W - ry, rx
        return rx, ry

    def box_on_sheet(self, index, box, logical=True):
        corners = [self.to_sheet(index, x, y, logical) for x in (box[0], box[2])
                   for y in (box[1], box[3])]
        xs, ys = [c[0] for c in corners], [c[1] for c in corners]
        return [min(xs), min(ys), max(xs), max(ys)]

    def cell_of(self, x, y):
        for index in range(self.cells()):
            b = self.box_on_sheet(index, [0, 0, self.lw, self.lh], logical=False)
            if b[0] - 1 <= x <= b[2] + 1 and b[1] - 1 <= y <= b[3] + 1:
                return index
        return None


def union(boxes):
    boxes = [b for b in boxes if b]
    if not boxes:
        return None
    return [min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
            max(b[3] for b in boxes)]


def close_boxes(a, b, tolerance):
    if a is None or b is None:
        return a is None and b is None
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def fmt(box):
    return "none" if box is None else "[%s]" % " ".join("%.1f" % v for v in box)


# ---------------------------------------------------------------- checks

def check_nup(label, source, pages, settings, pattern, page_boxes, selection=None):
    """Sheets, cells and frames of one n-up job. pattern finds each page's
    marker (MARKkk/PAGEkk) in the text; page_boxes are the pages' own boxes."""
    s = dict(DEFAULTS)
    s.update(settings)
    s["NUpPs"] = 1
    layout = Layout(s)
    order = selection or list(range(1, pages + 1))
    expected_sheets = -(-len(order) // layout.cells())
    job = compose(source, label + ".ps", s, pages=selection)
    boxes = bboxes(job, label)
    check(len(boxes) == expected_sheets,
          "%s: %d sheets, expected %d" % (label, len(boxes), expected_sheets))
    for sheet in range(min(len(boxes), expected_sheets)):
        on_sheet = order[sheet * layout.cells():(sheet + 1) * layout.cells()]
        if s["Frame"]:
            expected = union(layout.box_on_sheet(i, [0, 0, layout.lw, layout.lh], False)
                             for i in range(len(on_sheet)))
            tolerance = 1.0
        else:
            expected = union(layout.box_on_sheet(i, page_boxes[p - 1])
                             for i, p in enumerate(on_sheet) if page_boxes[p - 1])
            tolerance = 1.5
        check(close_boxes(boxes[sheet], expected, tolerance),
              "%s sheet %d: marks in %s, expected %s" % (label, sheet + 1, fmt(boxes[sheet]),
                                                         fmt(expected)))
    if pattern:
        sheets = markers(job, pattern, label)
        for position, page in enumerate(order):
            sheet, cell = divmod(position, layout.cells())
            name = pattern.replace(r"\d\d", "%02d" % page)
            where = sheets[sheet].get(name) if sheet < len(sheets) else None
            got = layout.cell_of(*where) if where else None
            check(got == cell, "%s: %s on sheet %d in cell %s, expected cell %d" %
                  (label, name, sheet + 1, got, cell))
        shown = set(k for sheet in sheets for k in sheet)
        for page in set(range(1, pages + 1)) - set(order):
            name = pattern.replace(r"\d\d", "%02d" % page)
            check(name not in shown, "%s: page %d is not printed" % (label, page))


def check_selection(label, source, pages, selection, pattern, page_boxes):
    """A page selection without n-up: one sheet per selected page, each the
    page itself."""
    job = compose(source, label + ".ps", {"NUpPs": 0}, pages=selection)
    boxes = bboxes(job, label)
    check(len(boxes) == len(selection),
          "%s: %d sheets, expected %d" % (label, len(boxes), len(selection)))
    for sheet, page in enumerate(selection[:len(boxes)]):
        check(close_boxes(boxes[sheet], page_boxes[page - 1], 0.5),
              "%s sheet %d: %s, expected page %d's %s" % (label, sheet + 1, fmt(boxes[sheet]),
                                                          page, fmt(page_boxes[page - 1])))
    if pattern:
        sheets = markers(job, pattern, label)
        for sheet, page in enumerate(selection):
            name = pattern.replace(r"\d\d", "%02d" % page)
            check(sheet < len(sheets) and list(sheets[sheet]) == [name],
                  "%s: sheet %d shows %s, expected %s" %
                  (label, sheet + 1, sheets[sheet] if sheet < len(sheets) else None, name))


def check_copies_in_one_job(label, source, sheets_per_copy):
    """Copies composed one after the other into one job without end-of-job
    characters (the setting off): every copy prints all of its sheets."""
    out = os.path.join(WORK, label + "-one.ps")
    result = run([TOOL, "raw", "PSEOFChar=0", "NUpPs=1", source, out])
    check(result.returncode == 0, "%s: composing succeeds" % label)
    job = open(out, "rb").read()
    path = write(label + ".ps", job * 3)
    try:
        boxes = bboxes(path, label, timeout=60)
    except subprocess.TimeoutExpired:
        boxes = []
    check(len(boxes) == 3 * sheets_per_copy,
          "%s: three copies give %d sheets, got %d" % (label, 3 * sheets_per_copy, len(boxes)))


def nup_variants():
    yield "2x1-landscape", {}
    yield "2x1-landscape-down", {"AdvHoriz": 0}
    yield "2x2-portrait-across", {"Width": 2, "Height": 2, "Landscape": 0, "Frame": 0}
    yield "2x2-portrait-down", {"Width": 2, "Height": 2, "Landscape": 0, "AdvHoriz": 0}
    yield "3x2-landscape-down-gutters", {"Width": 3, "Height": 2, "AdvHoriz": 0, "Frame": 0,
                                         "xGutter": 0.5, "yGutter": 0.25, "LeftMarg": 1.0,
                                         "RightMarg": 0.2, "TopMarg": 0.5, "BottomMarg": 0.8}
    yield "2x2-portrait-margins-frame", {"Width": 2, "Height": 2, "Landscape": 0,
                                         "xGutter": 0.3, "yGutter": 0.6, "LeftMarg": 0.2,
                                         "RightMarg": 1.1, "TopMarg": 0.9, "BottomMarg": 0.4,
                                         "FrameWidth": 0.02}


def synthetic_checks():
    for style in ("inside", "across", "gsave"):
        for pages in (5, 4, 1):
            source = write("synthetic-%s-%d.ps" % (style, pages), synthetic_document(pages, style=style))
            info = analyze(source)
            check(info.get("kind") == "StructuredPostScript" and info.get("pages") == str(pages),
                  "synthetic %s %d: analysed as structured with %d pages: %s" % (style, pages, pages, info))
            page_boxes = bboxes(source, "synthetic %s %d original" % (style, pages))
            for variant, settings in nup_variants():
                if style != "inside" and not variant.startswith("2x"):
                    continue
                check_nup("syn-%s-%d-%s" % (style, pages, variant), source, pages, settings,
                          r"PAGE\d\d", page_boxes)
    # A deferred page count; selections with and without n-up.
    source = write("synthetic-atend.ps", synthetic_document(5, atend=True, style="across"))
    info = analyze(source)
    check(info.get("kind") == "StructuredPostScript" and info.get("pages") == "5",
          "deferred page count read from the trailer: %s" % info)
    page_boxes = bboxes(source, "synthetic atend original")
    check_copies_in_one_job("synthetic-copies", source, 3)
    check_selection("select-2-4", source, 5, [2, 4], r"PAGE\d\d", page_boxes)
    check_selection("select-last", source, 5, [5], r"PAGE\d\d", page_boxes)
    check_nup("select-2-4-2up", source, 5, {}, r"PAGE\d\d", page_boxes, selection=[2, 4])
    check_nup("select-1-3-5-2x2", source, 5, {"Width": 2, "Height": 2, "Landscape": 0,
                                               "Frame": 0}, r"PAGE\d\d", page_boxes,
              selection=[1, 3, 5])
    job = open(compose(source, "select-last-trailer.ps", {"NUpPs": 0}, pages=[5]), "rb").read()
    check(job.rstrip().endswith(b"%%Pages: 5\n%%EOF") and b"%%Page: 4" not in job,
          "the last page carries the document's trailer, and no other page comes along")


def grid_checks():
    """Grids and lengths the settings store would never hand over still give
    a job that renders: no grid below 1 by 1 or above 100 by 100."""
    pages = 5
    source = write("synthetic-grid.ps", synthetic_document(pages))
    for label, settings, sheets in (
            ("grid-0x0", {"Width": 0, "Height": 0}, pages),
            ("grid-negative", {"Width": -4, "Height": 1}, pages),
            ("grid-huge", {"Width": 100000, "Height": 1000}, 1),
            ("lengths-nan", {"LeftMarg": "nan", "xGutter": "nan", "FrameWidth": "nan"}, 3)):
        merged = dict(DEFAULTS, NUpPs=1, **settings)
        job = compose(source, label + ".ps", merged)
        boxes = bboxes(job, label)
        check(len(boxes) == sheets, "%s: %d sheets, not %d" % (label, sheets, len(boxes)))


def eps_picture(box, header_bytes=b""):
    x1, y1, x2, y2 = box
    text = ("%%!PS-Adobe-3.0 EPSF-3.0\n%%%%BoundingBox: %d %d %d %d\n%%%%EndComments\n"
            "newpath %d %d moveto %d %d lineto %d %d lineto %d %d lineto closepath fill\n"
            "showpage\n%%%%EOF\n" % (x1, y1, x2, y2, x1, y1, x2, y1, x2, y2, x1, y2))
    return text.encode()


def binary_header_eps(ps):
    """The picture behind a binary header, with a preview section of junk."""
    preview = b"\x00\x01\x02\x04junk" * 10
    header = bytearray(b"\xc5\xd0\xd3\xc6")
    offset = 30
    for value in (offset, len(ps), 0, 0, offset + len(ps), len(preview)):
        header += value.to_bytes(4, "little")
    header += b"\xff\xff"
    return bytes(header) + ps + preview


def eps_checks():
    box = (100, 200, 244, 416)
    source = write("picture.eps", eps_picture(box))
    info = analyze(source)
    check(info.get("kind") == "EncapsulatedPostScript", "the picture is encapsulated: %s" % info)
    w, h = box[2] - box[0], box[3] - box[1]
    cx, cy = PAGE_W / 2, PAGE_H / 2
    fit = 0.95 * min(PAGE_W / w, PAGE_H / h)
    expected = {
        0: list(box),
        1: [cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2],
        2: [cx - w * fit / 2, cy - h * fit / 2, cx + w * fit / 2, cy + h * fit / 2],
    }
    for placement in (0, 1, 2):
        label = "eps-place-%d" % placement
        job = compose(source, label + ".ps", {"PlaceEPS": placement, "FrameEPS": 0, "NameEPS": 0})
        boxes = bboxes(job, label)
        check(len(boxes) == 1 and close_boxes(boxes[0], expected[placement], 0.5),
              "%s: one page with the picture in %s, expected %s" %
              (label, fmt(boxes[0] if boxes else None), fmt(expected[placement])))
    # The frame alone: an empty picture whose box is stroked where the picture
    # would be, with the line width scaled along.
    empty = write("empty.eps", b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 100 200 244 416\n"
                  b"%%EndComments\n%%EOF\n")
    for placement in (0, 1, 2):
        label = "eps-frame-%d" % placement
        job = compose(empty, label + ".ps", {"PlaceEPS": placement, "FrameEPS": 1,
                                             "NameEPS": 0, "FrameWidth": 0.05})
        boxes = bboxes(job, label)
        half = 0.05 * 72 * (fit if placement == 2 else 1) / 2
        e = expected[placement]
        want = [e[0] - half, e[1] - half, e[2] + half, e[3] + half]
        check(len(boxes) == 1 and close_boxes(boxes[0], want, 0.6),
              "%s: frame at %s, expected %s" % (label, fmt(boxes[0] if boxes else None), fmt(want)))
    # The header: the file name at the top left, backslashes and parentheses
    # as the user sees them.
    for name in (r"C:\pics\logo.eps", r"D:\odd (1)\smile :).eps"):
        label = "eps-name"
        job = compose(empty, label + ".ps", {"PlaceEPS": 1, "FrameEPS": 0, "NameEPS": 1},
                      display=name)
        boxes = bboxes(job, label)
        check(len(boxes) == 1 and boxes[0] is not None and abs(boxes[0][0] - 15) < 2 and
              760 < boxes[0][1] and boxes[0][3] < 780,
              "%s: the name stands 15 points right of and 20 below the top left: %s" %
              (label, fmt(boxes[0] if boxes else None)))
        text = gs("txtwrite", job).stdout.decode("utf-8", "replace")
        check(name in text, "%s: the header reads %s: %r" % (label, name, text.strip()))
    # A picture behind a binary header: only its PostScript section is sent.
    source = write("binary.eps", binary_header_eps(eps_picture(box)))
    info = analyze(source)
    check(info.get("kind") == "EncapsulatedPostScript" and info.get("offset") == "30",
          "binary header picture: %s" % info)
    job = compose(source, "eps-binary.ps", {"PlaceEPS": 1, "FrameEPS": 1, "NameEPS": 1})
    boxes = bboxes(job, "eps-binary")
    check(len(boxes) == 1 and boxes[0] is not None, "binary header picture renders one page")
    check(b"junk" not in open(job, "rb").read(), "the preview section is not sent")


def third_party_checks():
    pages = 7
    for name, source in third_party_documents(pages):
        info = analyze(source)
        check(info.get("kind") == "StructuredPostScript" and info.get("pages") == str(pages),
              "%s: analysed as structured with %d pages: %s" % (name, pages, info))
        page_boxes = bboxes(source, name + " original")
        check(len(page_boxes) == pages and all(page_boxes),
              "%s: the original renders %d pages" % (name, pages))
        if len(page_boxes) != pages:
            continue
        # ps2write embeds its fonts without a text mapping, and Wine's driver
        # places every glyph by itself; their pages are told apart by their
        # boxes (page k has k lines).
        pattern = None if name in ("ps2write", "wineps") else r"MARK\d\d"
        for variant, settings in nup_variants():
            check_nup("%s-%s" % (name, variant), source, pages, settings, pattern, page_boxes)
        check_selection("%s-select-2-4" % name, source, pages, [2, 4], pattern, page_boxes)
        check_selection("%s-select-last" % name, source, pages, [pages], pattern, page_boxes)
        check_nup("%s-select-2-4-2up" % name, source, pages, {}, pattern, page_boxes,
                  selection=[2, 4])
        check_copies_in_one_job("%s-copies" % name, source, -(-pages // 2))


PAGE_SIZES = {"": [612, 792], "A5": [421, 595], "Letter": [612, 792], "Legal": [612, 1008]}


def preference_checks():
    """Every combination of the printer preferences that a job sent raw asks for, on a plain,
    an n-up and an encapsulated job: Ghostscript interprets each (as it stands: -dSAFER), and a
    device that prints on both sides reports the sides and the paper asked for afterwards."""
    sources = {"plain": write("prefs-plain.ps", b"%!\n/Helvetica findfont 20 scalefont setfont\n"
                                                 b"72 72 moveto (plain) show showpage\n"),
               "nup": write("prefs-nup.ps", synthetic_document(3)),
               "eps": write("prefs-eps.eps", eps_picture((100, 200, 244, 416)))}
    query = write("prefs-query.ps", b"currentpagedevice dup /Duplex get == dup /Tumble get ==\n"
                                    b"/PageSize get { cvi == } forall\n")
    for sides in ("printer", "one-sided", "two-sided-long-edge", "two-sided-short-edge"):
        for source in ("", "Tray 2", "Manual Feed"):
            for size in ("", "A5", "Legal"):
                for kind, path in sorted(sources.items()):
                    label = "prefs-%s-%s-%s-%s" % (kind, sides, source or "any", size or "any")
                    label = label.replace(" ", "_")
                    job = compose(path, label + ".ps", {
                        "NUpPs": 1 if kind == "nup" else 0, "Sides": sides,
                        "PaperSource": source, "PaperSize": size})
                    data = open(job, "rb").read()
                    asked = sides != "printer" or source or size
                    check(data.startswith(b"%!\n[{<<") == bool(asked),
                          "%s: the request opens the job when something is asked" % label)
                    result = run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE",
                                  "-sPAPERSIZE=letter", "-sDEVICE=ljet4d", "-r72",
                                  "-sOutputFile=/dev/null", job, query], timeout=120)
                    out = (result.stdout + result.stderr).decode("latin-1")
                    # The device itself leaves Duplex unset (null) until asked.
                    expected = ["null" if sides == "printer" else
                                "true" if sides.startswith("two") else "false",
                                "true" if sides == "two-sided-short-edge" else "false"]
                    expected += [str(v) for v in PAGE_SIZES[size]]
                    check(result.returncode == 0 and out.split() == expected,
                          "%s: Ghostscript reports %s, expected %s" % (label, out.split(),
                                                                       expected))


def main():
    global TOOL, WORK
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    TOOL = os.path.abspath(sys.argv[1])
    for program in ("gs", "enscript", "a2ps", "groff"):
        if not shutil.which(program):
            print("FAIL: %s is not installed (scripts/setup.sh installs it)" % program)
            return 1
    WORK = tempfile.mkdtemp(prefix="rvl-gs-")
    try:
        synthetic_checks()
        grid_checks()
        eps_checks()
        preference_checks()
        third_party_checks()
    finally:
        if not FAILURES:
            shutil.rmtree(WORK, ignore_errors=True)
        else:
            print("jobs kept in", WORK)
    print("%d passed, %d failed" % (CHECKS - len(FAILURES), len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
