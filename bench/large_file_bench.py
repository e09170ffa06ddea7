"""A printer-ready file of 2.3 GiB printed by `ravlen.exe /q /delete` under Wine: the job
that reaches the capture printer must have the file's size and checksum, and the file must
be gone afterwards (it is deleted only when it was printed). Positions beyond 2 GiB do not
fit the 32-bit long of the Windows C library, so this is where they would fail.

The input is sparse (marked blocks every 128 MiB, one across the 2 GiB boundary, one at the
end, zeros between), but the spooler's copies and the captured job take real room: some 7 GB
of free disk in the bench's work directory. Everything is deleted at the end. Prints the
result and the seconds taken; exits non-zero when the job does not match."""

import hashlib
import os
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import bench as bench_module  # noqa: E402

MiB = 1024 * 1024
SIZE = 2355 * MiB  # 2.3 GiB
INPUT = "C:\\bench\\large.prn"


def marked_block(offset):
    """A MiB whose bytes say where it stands."""
    line = ("block at %d\n" % offset).encode()
    return (line * (MiB // len(line) + 1))[:MiB]


def write_sparse_input(path):
    offsets = list(range(0, SIZE - MiB, 128 * MiB)) + [2048 * MiB - MiB // 2, SIZE - MiB]
    with open(path, "wb") as f:
        f.truncate(SIZE)
        for offset in offsets:
            f.seek(offset)
            f.write(marked_block(offset))


def digest(path):
    """Size and SHA-256 of a file, read in pieces."""
    h = hashlib.sha256()
    size = 0
    with open(path, "rb") as f:
        while True:
            block = f.read(8 * MiB)
            if not block:
                break
            size += len(block)
            h.update(block)
    return size, h.hexdigest()


def job_files(bench, first):
    return [os.path.join(bench.capture_dir, "job-%d.data" % job)
            for job in bench._job_ids() if job >= first]


def main():
    ravlen, winauto, work = bench_module.default_paths()
    bench = bench_module.Bench(os.environ.get("E2E_WORK", work + "-large-file-bench"),
                               ravlen=ravlen, winauto=winauto)
    bench.start()
    try:
        settings = bench.write_settings("bench", {
            "General": {"Version": "2.1.5"}, "Settings List": {"Default settings": 1},
            "Default settings": {"ShowPrintDlg": 0, "EnableTextPrint": 0}})
        path = bench.unix_path(INPUT)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write_sparse_input(path)
        expected = digest(path)

        first = bench._next_job_id()
        start = time.monotonic()
        subprocess.run(
            [bench_module.WINE, bench_module.unix_to_windows(bench.ravlen), "/i:" + settings,
             "/q", "/delete", INPUT], env=bench.env, check=True, timeout=3600,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        bench.wait_jobs(first, 1, timeout=3600)
        elapsed = time.monotonic() - start

        files = job_files(bench, first)
        got = digest(files[0]) if len(files) == 1 else (0, "")
        deleted = not os.path.exists(path)
        print("input: %d bytes, sha256 %s" % expected)
        print("job:   %d bytes, sha256 %s (%d job(s))" % (got[0], got[1], len(files)))
        print("size and checksum %s; input %s; %.1f s from start to captured job"
              % ("match" if got == expected else "DO NOT MATCH",
                 "deleted" if deleted else "NOT deleted", elapsed))
        return 0 if got == expected and deleted else 1
    finally:
        for name in os.listdir(bench.capture_dir):
            os.remove(os.path.join(bench.capture_dir, name))
        if os.path.exists(bench.unix_path(INPUT)):
            os.remove(bench.unix_path(INPUT))
        bench.stop()


if __name__ == "__main__":
    sys.exit(main())
