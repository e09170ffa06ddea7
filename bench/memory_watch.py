"""Peak memory of ravlen.exe under Wine, for the benchmarks."""

import os
import time


def peak_memory(stop, found):
    """Polls the Unix processes of ravlen.exe for their peak resident size (VmHWM, kB)."""
    while not stop.is_set():
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    if b"ravlen.exe" not in f.read():
                        continue
                with open("/proc/%s/status" % entry) as f:
                    for line in f:
                        if line.startswith("VmHWM:"):
                            found[0] = max(found[0], int(line.split()[1]))
            except OSError:
                pass
        time.sleep(0.02)
