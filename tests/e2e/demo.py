"""Shows ravlen.exe at work on the bench: starts it with its main window, prints the given
files (the samples/ folder when none are given), saves a picture of the screen, shows what
reached the capture printer (PostScript pages rendered to PNG by Ghostscript), and shuts
everything down.

    python3 demo.py [--ravlen R] [--winauto W] [--work DIR] [--out DIR] [FILE...]
"""

import argparse
import glob
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench as bench_module  # noqa: E402

SETTINGS = {
    "General": {"Version": "2.1.5"},
    "Settings List": {"Default settings": 1},
    # Keyword highlighting for the C sample, two pages to a sheet for the PostScript one.
    "Default settings": {"ShowPrintDlg": 0, "SysTray": 0, "PrettyPrint": 1, "NUpPs": 1},
}


def is_landscape(data):
    """True for a job whose sheets are landscape: the printer driver says so in its
    comments, and the program's own n-up setup names the orientation first."""
    head = data[:65536]
    if re.search(rb"%%(Page)?Orientation: Landscape", head):
        return True
    setup = re.search(rb"\b(true|false) (true|false) (true|false) [-0-9.]+ setup\b", data[:1 << 20])
    return bool(setup) and setup.group(1) == b"true"


def describe_job(number, title, data, out):
    """One line about a captured job; PostScript pages are rendered to PNG files."""
    if b"%!" not in data[:1024]:
        return "job %d \"%s\": %d bytes of printer-ready data, sent unchanged" % (
            number, title, len(data))
    job = os.path.join(out, "job-%d.ps" % number)
    with open(job, "wb") as f:
        f.write(data.replace(b"\x04", b""))  # the end-of-job marks a printer would eat
    pattern = os.path.join(out, "job-%d-sheet-%%d.png" % number)
    for old in glob.glob(pattern.replace("%d", "*")):
        os.remove(old)
    done = subprocess.run(["gs", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-q", "-sDEVICE=png16m",
                           "-r100", "-sOutputFile=" + pattern, job],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=120)
    if is_landscape(data):
        # Landscape sheets are drawn turned on a portrait page; turn the picture
        # so that it shows the sheet as a person holds it.
        for sheet in glob.glob(pattern.replace("%d", "*")):
            subprocess.run(["convert", sheet, "-rotate", "90", sheet], check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    sheets = sorted(glob.glob(pattern.replace("%d", "*")))
    state = "rendered" if done.returncode == 0 else "Ghostscript FAILED on it"
    return "job %d \"%s\": PostScript, %d bytes, %d sheet(s) %s: %s" % (
        number, title, len(data), len(sheets), state, ", ".join(sheets))


def main():
    ravlen, winauto, _ = bench_module.default_paths()
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--ravlen", default=ravlen)
    parser.add_argument("--winauto", default=winauto)
    parser.add_argument("--out", default=os.path.join(root, "build", "demo"))
    parser.add_argument("--work", default=None)
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    bench = bench_module.Bench(args.work or os.path.join(out, "bench"), ravlen=args.ravlen,
                               winauto=args.winauto)
    print("demo: starting the bench (CUPS, Xvfb, Wine)")
    bench.start()
    try:
        files = args.files or sorted(glob.glob(os.path.join(root, "samples", "*")))
        names = []
        for path in files:
            with open(path, "rb") as f:
                names.append(bench.put_file("C:\\demo\\" + os.path.basename(path), f.read()))
        running = bench.start_run(names, settings=SETTINGS, settings_name="demo", timeout=300)
        window = running.dump("Ravlen", timeout=60)
        print("demo: main window \"%s\" with %s" % (
            window["title"], ", ".join(c["text"].replace("&", "") for c in window["controls"]
                                       if c["class"] == "Button" and c["text"])))
        if names:
            bench.wait_jobs(running.first_job, len(names), timeout=120)
        shot = bench.screenshot(os.path.join(out, "main-window.png"))
        print("demo: screenshot %s" % shot)
        running.command(2)
        result = running.wait()
        for title, text in result.boxes:
            print("demo: message box %s: %s" % (title, text))
        print("demo: ravlen.exe exit code %s" % result.exit_code)
        if result.jobs:
            for i, (title, data) in enumerate(result.jobs, 1):
                print("demo: " + describe_job(i, title, data, out))
        else:
            print("demo: no jobs reached the capture printer")
        print("demo: capture directory %s" % bench.capture_dir)
    finally:
        bench.stop()
        print("demo: bench stopped")
    return 0


if __name__ == "__main__":
    sys.exit(main())
