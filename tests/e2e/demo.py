"""Shows ravlen.exe at work on the bench: starts it with its main window (printing any files
given first), saves a picture of the screen, lists what reached the capture printer, and
shuts everything down.

    python3 demo.py [--ravlen R] [--winauto W] [--work DIR] [--out DIR] [FILE...]
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench as bench_module  # noqa: E402

SETTINGS = {
    "General": {"Version": "2.1.5"},
    "Settings List": {"Default settings": 1},
    "Default settings": {"ShowPrintDlg": 0, "SysTray": 0},
}


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
        names = []
        for path in args.files:
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
                print("demo: job %d \"%s\", %d bytes" % (i, title, len(data)))
        else:
            print("demo: no jobs reached the capture printer")
        print("demo: capture directory %s" % bench.capture_dir)
    finally:
        bench.stop()
        print("demo: bench stopped")
    return 0


if __name__ == "__main__":
    sys.exit(main())
