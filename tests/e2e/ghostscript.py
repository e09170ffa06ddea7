"""Reading a captured job back with Ghostscript: how many sheets it renders and the text on
each page, for the end-to-end modules."""

import os
import shutil
import subprocess
import tempfile

GS = ["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE"]


def sheet_count(ps):
    """Pages that Ghostscript renders from the job."""
    with tempfile.NamedTemporaryFile(suffix=".ps") as f:
        f.write(ps)
        f.flush()
        out = subprocess.run(GS + ["-sDEVICE=bbox", f.name], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, timeout=120, check=True).stdout
    return out.count(b"%%BoundingBox:")


def page_texts(ps):
    """Ghostscript's text extraction of the job: one string per page."""
    work = tempfile.mkdtemp(prefix="e2e-gs-")
    try:
        job = os.path.join(work, "job.ps")
        with open(job, "wb") as f:
            f.write(ps)
        subprocess.run(GS + ["-sDEVICE=txtwrite", "-sOutputFile=" + os.path.join(work, "p%04d.txt"),
                             job], check=True, timeout=120, stdout=subprocess.DEVNULL)
        pages = []
        for name in sorted(n for n in os.listdir(work) if n.endswith(".txt")):
            with open(os.path.join(work, name), encoding="utf-8", errors="replace") as f:
                pages.append(f.read())
        return pages
    finally:
        shutil.rmtree(work, ignore_errors=True)
