#!/usr/bin/env python3
"""Prints a fixed set of files of every kind with two builds of ravlen.exe (x86_64, under
Wine, through the bench's capture printer) and compares the captured jobs byte for byte:

    python3 bench/compare_jobs.py --old OLD/ravlen.exe --new NEW/ravlen.exe --winauto W

Each case is one run of the program on one file with one settings set; the same case runs
with the old and the new program in turn on one bench. Prints one line per case and exits
with 1 when any job differs. bench/compare_jobs.sh builds a given revision and calls it."""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import bench as bench_module  # noqa: E402

DEFAULT = {"ShowPrintDlg": "0", "PSEOFChar": "0"}


def sample(name):
    with open(os.path.join(ROOT, "samples", name), "rb") as f:
        return f.read()


def structured(pages):
    body = b"".join(b"%%%%Page: %d %d\n/Helvetica findfont 24 scalefont setfont 72 700 moveto "
                    b"(page %d) show showpage\n" % (n, n, n) for n in range(1, pages + 1))
    return (b"%%!PS-Adobe-3.0\n%%%%Pages: %d\n%%%%EndProlog\n" % pages) + body + b"%%EOF\n"


EPS = (b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 144 72\n"
       b"0 0 moveto 144 72 lineto stroke\n")
UTF8 = "\ufeffd\u00e9j\u00e0 \u03b1\u03b2\u03b3 \u0434\u0430 \u20ac5 \u2500\u2524\n".encode(
    "utf-8") * 40
LONG_LINES = b"".join(b"%05d " % n + b"word " * 40 + b"\n" for n in range(150))

# (name, file name, content, settings of the set)
CASES = [
    ("text", "readme.txt", sample("readme.txt"), {}),
    ("C with highlighting", "hello.c", sample("hello.c"), {"PrettyPrint": "1"}),
    ("text two up, numbered, framed", "readme.txt", sample("readme.txt"),
     {"Width": "2", "LineNo": "1", "Frame": "1"}),
    ("DOS text", "dos.txt", b"\xc9\xcd\xcd\xbb caf\x82 \x9c\r\n" * 30, {"OEMTrans": "2"}),
    ("text with header and footer", "long.txt", LONG_LINES,
     {"HeaderStr": "&f - page &p", "FooterStr": "&d", "WrapLines": "1"}),
    ("text cut, landscape, 80 lines", "long.txt", LONG_LINES,
     {"WrapLines": "0", "Landscape": "1", "Lines": "80"}),
    ("UTF-8 text", "utf8.txt", UTF8, {}),
    ("printer-ready data", "label.prn", sample("label.prn"), {}),
    ("PostScript two up", "report.ps", sample("report.ps"), {"NUpPs": "1"}),
    ("structured PostScript as it is", "six.ps", structured(6), {}),
    ("structured PostScript four up", "six.ps", structured(6),
     {"NUpPs": "1", "Width": "2", "Height": "2"}),
    ("encapsulated picture, named", "logo.eps", EPS, {"PlaceEPS": "1", "NameEPS": "1",
                                                      "FrameEPS": "1"}),
    ("PostScript with end-of-job characters", "six.ps", structured(6), {"PSEOFChar": "1"}),
    ("PostScript behind the driver's header", "six.ps", structured(6), {"DrvHead": "1"}),
]


def install(bench, label, exe):
    """The program and the files beside it (pp.txt, the help page) in a folder of its own;
    its Windows path."""
    folder = "C:\\compare\\" + label
    for name in ("ravlen.exe", "pp.txt", "ravlen.html"):
        path = os.path.join(os.path.dirname(exe), name) if name != "ravlen.exe" else exe
        if os.path.exists(path):
            with open(path, "rb") as f:
                bench.put_file(folder + "\\" + name, f.read())
    return folder + "\\ravlen.exe"


def jobs_of(bench, program, path, keys):
    """The data of each job one run of `program` on `path` made, and its message boxes."""
    before = len(bench.jobs())
    settings = {"Settings List": {"Default settings": "1"},
                "Default settings": dict(DEFAULT, **keys)}
    result = bench.run(["/q", path], settings=settings, program=program, timeout=60)
    bench.wait_jobs()
    return [data for _, data in bench.jobs()[before:]], result.boxes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--old", required=True)
    parser.add_argument("--new", required=True)
    parser.add_argument("--winauto", required=True)
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "compare-jobs"))
    args = parser.parse_args()
    bench = bench_module.Bench(args.work, ravlen=args.new, winauto=args.winauto)
    bench.start()
    differ = 0
    try:
        programs = {label: install(bench, label, exe)
                    for label, exe in (("old", args.old), ("new", args.new))}
        for case, name, content, keys in CASES:
            path = "C:\\compare\\" + name
            bench.put_file(path, content)
            jobs = {label: jobs_of(bench, programs[label], path, keys) for label in programs}
            same = jobs["old"] == jobs["new"]
            count = len(jobs["new"][0])
            size = sum(len(data) for data in jobs["new"][0])
            print("%-40s %s  (%d job%s, %d bytes)" % (case, "same" if same else "DIFFERENT",
                                                      count, "" if count == 1 else "s", size))
            if not same:
                differ += 1
    finally:
        bench.stop()
    print("%d of %d cases differ" % (differ, len(CASES)))
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
