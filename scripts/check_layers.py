#!/usr/bin/env python3
"""Fails when a source file includes a file of a layer above its own.

Layers, top down: the front ends (app, console, service), which stand beside
each other and never include one another; jobs, the print jobs every front
end runs; the engine (output, analysis, textfmt, install); settings; common
(with resources, which holds only ids). A file may include its own layer and
the layers below. Inside the engine the subsystems stand in the order
output > analysis > textfmt, install beside them; and inside one subsystem no
two portable files include each other. The few edges that go against those
two orders are listed in ALLOWED, each with the reason the README gives.
Usage: check_layers.py [source root]
"""
import os
import re
import sys

LAYER = {"common": 0, "resources": 0, "settings": 1,
         "output": 2, "analysis": 2, "textfmt": 2, "install": 2, "jobs": 3,
         "app": 4, "console": 4, "service": 4}
FRONT_ENDS = {"app", "console", "service"}
# Order of the engine's subsystems; install neither calls nor is called by them.
ENGINE_ORDER = {"textfmt": 0, "analysis": 1, "output": 2}

# (including file's module, included module): modules are paths without the
# extension and without a platform suffix (_win32, _posix, ...).
ALLOWED = {
    # The highlighter borrows the current definition; the definitions list
    # owns it, so a lookup and a release reset the highlighter.
    ("textfmt/definitions", "textfmt/highlighting"),
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SUFFIX = re.compile(r"_(win32|posix|builtin|ini|none)$")


def module(path):
    stem = os.path.splitext(path)[0]
    return SUFFIX.sub("", stem)


def platform_side(path):
    return SUFFIX.search(os.path.splitext(path)[0]) is not None


def includes(root):
    """(file, included file) pairs, both relative to root."""
    for subsystem in LAYER:
        folder = os.path.join(root, subsystem)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp", ".c")):
                continue
            path = os.path.join(subsystem, name)
            with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    # "../x/y.h" and "y.h" are relative to the file, "x/y.h"
                    # to the source root.
                    target = os.path.normpath(os.path.join(subsystem, m.group(1)))
                    if not os.path.exists(os.path.join(root, target)):
                        target = os.path.normpath(m.group(1))
                    yield path, target


def upward(source, target, edges):
    """Why the include goes the wrong way, or None."""
    a, b = source.split(os.sep)[0], target.split(os.sep)[0]
    if b not in LAYER:
        return None if b in ("launcher",) else "outside the layers"
    if LAYER[b] > LAYER[a]:
        return "%s is above %s" % (b, a)
    if a in FRONT_ENDS and b in FRONT_ENDS and a != b:
        return "the front ends %s and %s stand beside each other" % (a, b)
    if LAYER[a] == LAYER[b] == 2 and a != b:
        if a == "install" or b == "install":
            return "install and %s stand beside each other" % (b if a == "install" else a)
        if ENGINE_ORDER[b] > ENGINE_ORDER[a]:
            return "%s is above %s in the engine" % (b, a)
    back = (module(target), module(source))
    if a == b and module(source) != module(target) and back in edges and back not in ALLOWED:
        # Two modules of one subsystem that include each other: the one not
        # allowed is the back edge. The platform side of a seam is left out:
        # it implements a header and includes the types of its callers.
        return "%s also includes %s" % (module(target), module(source))
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    pairs = list(includes(root))
    edges = {(module(s), module(t)) for s, t in pairs if not platform_side(s)}
    faults = 0
    used = set()
    for source, target in pairs:
        why = upward(source, target, edges if not platform_side(source) else set())
        if not why:
            continue
        key = (module(source), module(target))
        if key in ALLOWED:
            used.add(key)
            continue
        print("%s includes %s: %s" % (source, target, why))
        faults += 1
    # An allowance that nothing needs any more is dropped from the list, so
    # that it cannot cover a new include later.
    for key in sorted(ALLOWED - used):
        print("allowed edge %s -> %s is no longer needed" % key)
        faults += 1
    print("include layers: %d include(s) against the layers" % faults)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
