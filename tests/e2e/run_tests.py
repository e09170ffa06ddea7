"""Runs end-to-end test modules against given builds of ravlen.exe and winauto.exe:

    python3 run_tests.py --ravlen R --winauto W --work DIR [module or test names...]

The bench made under DIR is shared by every test of a run."""

import argparse
import os
import signal
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
import bench  # noqa: E402

ravlen, winauto, work = bench.default_paths()
parser = argparse.ArgumentParser()
parser.add_argument("--ravlen", default=ravlen)
parser.add_argument("--winauto", default=winauto)
parser.add_argument("--work", default=work)
parser.add_argument("tests", nargs="*", default=["test_shell"])
args = parser.parse_args()
for program in (args.ravlen, args.winauto):
    if not os.path.exists(program):
        # The build failed before making it; that failure is reported by the build.
        print("e2e: %s does not exist; tests not run" % program)
        sys.exit(77)
os.environ["RAVLEN_EXE"] = os.path.abspath(args.ravlen)
os.environ["WINAUTO_EXE"] = os.path.abspath(args.winauto)
os.environ["E2E_WORK"] = os.path.abspath(args.work)
# A stopped run still stops the bench (its atexit handler).
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
unittest.main(module=None, argv=[sys.argv[0], "-v"] + args.tests)
