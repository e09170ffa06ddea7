#!/usr/bin/env python3
"""Writes the fixed text files that bench/textfmt_compare.sh lays out with two
revisions of the formatter: ASCII with tabs, long lines, line ends of every
kind, form feeds and NULs; UTF-8 (with and without a mark, malformed bytes,
sequences across the line limit); UTF-16 both ways; DOS characters; CR-only
line ends; and C, SQL and Python sources for the highlighting. The same
directory always gets the same bytes."""
import os
import random
import sys

WORDS = "int static return if else while for the of and value count buffer page line".split()


def mixed_lines(rng, count, words=WORDS):
    out = []
    for _ in range(count):
        n = rng.choice([0, 1, 3, 8, 14, 25, 40])
        line = " ".join(rng.choice(words) for _ in range(n))
        if rng.random() < 0.3:
            cut = rng.randint(0, len(line))
            line = line[:cut] + "\t" * rng.randint(1, 3) + line[cut:]
        out.append(line)
    return out


def ascii_text(rng):
    lines = mixed_lines(rng, 2500)
    lines[100] = "x" * 1500  # beyond the line limit: arrives as two lines
    lines[101] = "y" * 999
    lines[102] = "\t" * 400 + "tabs expand past the limit"
    lines[200] = "\f"
    lines[201] = "\fthe text after a page break"
    lines[202] = "before a feed\fafter it"
    lines[300] = "a NUL \0 inside"
    lines[400] = "caf\xe9 na\xefve \xbb ANSI letters"
    lines[500] = "word " * 60  # a blank right at a wrap point
    body = b""
    for i, line in enumerate(lines):
        end = b"\r\n" if i % 7 == 0 else b"\n"
        body += line.encode("latin-1") + end
    return b"\f\f" + body + b"\f"  # breaks before any text and at the end


UTF8_WORDS = ("d\u00e9j\u00e0 stra\u00dfe \u00fcber \u03b1\u03b2\u03b3 \u03bb\u03cc\u03b3\u03bf\u03c2 "
              "\u0434\u0430 \u0441\u043b\u043e\u0432\u043e \u20ac5 \u2500\u2500\u2524 "
              "\U0001F600 value line").split()


def utf8_text(rng):
    lines = mixed_lines(rng, 2000, UTF8_WORDS)
    encoded = [line.encode("utf-8") for line in lines]
    encoded[50] = b"a" * 997 + "\u20ac".encode("utf-8") + b"tail"  # cut inside a sequence
    encoded[51] = b"b" * 998 + "\U0001F600".encode("utf-8")
    encoded[52] = "\u00e9".encode("utf-8") * 600
    # Malformed bytes after the part the encoding is judged by.
    encoded[1800] = b"bad \x80 lone \xc3 cut \xed\xa0\x80 surrogate \xf5 high"
    encoded[61] = b"\t\xc3\xa9\t\xe2\x82\xac\tcolumns"
    encoded[70] = b"\fpage \xc3\xa9"
    return b"\n".join(encoded) + b"\n"


def utf16(text, big_endian):
    data = text.encode("utf-16-be" if big_endian else "utf-16-le")
    lone = b"\xd8\x00" if big_endian else b"\x00\xd8"  # an unpaired high surrogate
    mark = b"\xfe\xff" if big_endian else b"\xff\xfe"
    return mark + data + lone + b"\x41"  # and a last odd byte


def oem_text(rng):
    lines = mixed_lines(rng, 400)
    lines[350] = "DOS \x81ber \x84 \x94 \xa4 box"  # the first DOS byte comes late
    return "\n".join(lines).encode("latin-1") + b"\n"


def cr_text(rng):
    return "\r".join(mixed_lines(rng, 300)).encode("latin-1") + b"\r"


def c_source(rng):
    parts = []
    for i in range(600):
        kind = rng.randrange(12)
        if kind == 0:
            parts.append("/* a block comment\n   over two lines */ int x%d;" % i)
        elif kind == 1:
            parts.append("static int value%d = 3; // a line comment with int and for" % i)
        elif kind == 2:
            parts.append('\tprintf("a \\"quoted\\" if %%d\\\\", count); /* ends */ return' % ())
        elif kind == 3:
            parts.append("char c = '\\''; char d = '\"'; while (c) {")
        elif kind == 4:
            parts.append("#include <stdio.h>\n#define MAX_%d 10" % i)
        elif kind == 5:
            # The comment's end lies beyond the row: cut off without wrapping.
            parts.append("int a; /* " + "long " * 20 + "*/ int after_the_cut;")
        elif kind == 6:
            parts.append("/* opened here and closed " + "far " * 30 + "\nlater */ else")
        elif kind == 7:
            parts.append('const char* s = "' + "string " * 20 + '"; for_each $name _id 2x')
        elif kind == 8:
            parts.append("\t\tif (x) return y; else { unsigned long z = sizeof(int); }")
        elif kind == 9:
            parts.append("// " + "comment " * 25)
        elif kind == 10:
            parts.append('"unclosed string at the end of a line')
        else:
            parts.append(" ".join(rng.choice(WORDS) for _ in range(rng.randint(0, 30))))
    return ("\n".join(parts) + "\n/* a comment the file never closes\n").encode("latin-1")


def sql_source(rng):
    parts = []
    for i in range(300):
        kind = rng.randrange(4)
        if kind == 0:
            parts.append("SELECT name, Count(*) FROM t%d where x = 'it''s' -- note" % i)
        elif kind == 1:
            parts.append("select * from Orders /* multi\nline */ Order By id;")
        elif kind == 2:
            parts.append("InSeRt into t values ('a', \"b\", 3); -- " + "dash " * 20)
        else:
            parts.append("update t set v = v + 1 WHERE id IN (select id from u);")
    return ("\n".join(parts) + "\n").encode("latin-1")


def python_source(rng):
    parts = []
    for _ in range(300):
        kind = rng.randrange(4)
        if kind == 0:
            parts.append("def f(x):  # a comment with if and for")
        elif kind == 1:
            parts.append("\tif x is None:\n\t\treturn 'a # not a comment' + \"b\"")
        elif kind == 2:
            parts.append("class C(object): pass; import os, sys  " + "word " * 20)
        else:
            parts.append("\twhile True: yield lambda: not False")
    return ("\n".join(parts) + "\n").encode("latin-1")


# Definitions with markers of unusual shapes: a start marker without an end,
# markers that share their first byte, start with a letter or a quote, or
# are a single byte used at both ends.
ODD_DEFINITIONS = """TYPE=.o1
KEYWORDS=#if $x _y int
COMMENT-START=/*
COMMENT-SINGLE=/
KEYWORD-STYLE=bold
TYPE=.o2
KEYWORD-CASE=no
KEYWORDS=begin end REM
COMMENT-START=(*
COMMENT-END=*)
COMMENT-SINGLE=REM
COMMENT-STYLE=italic
COMMENT-COL=0,0,200
TYPE=.o3
KEYWORDS=a b
COMMENT-START="
COMMENT-END="
COMMENT-SINGLE=#!
KEYWORD-STYLE=underline italic
KEYWORD-COL=200,0,0
COL-ON-BW=yes
TYPE=.o4
KEYWORDS=a b c
COMMENT-START=<!--
COMMENT-END=-->
TAB-WIDTH=2
TYPE=.o5
KEYWORDS=x
COMMENT-START=/
COMMENT-END=/
COMMENT-SINGLE=//
"""

ODD_TOKENS = ["/*", "*/", "(*", "*)", "REM", "rem", '"', "'", "#!", "<!--", "-->", "/", '\\"',
              "#if", "$x", "_y", "begin", "BEGIN", "end", "a", "b", "c", "x", "int", "word",
              " ", " ", " ", "\t", "12", "a1b"]


def odd_source(rng):
    lines = []
    for i in range(700):
        n = rng.choice([0, 3, 10, 30, 60])
        lines.append("".join(rng.choice(ODD_TOKENS) for _ in range(n)))
    return ("\n".join(lines) + "\n").encode("latin-1")


def bench_mix(rng):
    lines = []
    size = 0
    while size < 300 * 1024:
        n = rng.choice([0, 2, 5, 8, 12, 20])
        line = ("\t" if rng.random() < 0.3 else "") + " ".join(rng.choice(WORDS) for _ in range(n))
        lines.append(line)
        size += len(line) + 1
    return ("\n".join(lines) + "\n").encode("latin-1")


def main():
    directory = sys.argv[1]
    rng = random.Random(28)
    unicode_sample = "\n".join(mixed_lines(rng, 300, UTF8_WORDS)) + "\n"
    files = {
        "ascii.txt": ascii_text(rng),
        "utf8.txt": utf8_text(rng),
        "utf8bom.txt": b"\xef\xbb\xbf" + unicode_sample.encode("utf-8"),
        "utf16le.txt": utf16(unicode_sample, False),
        "utf16be.txt": utf16(unicode_sample, True),
        "oem.txt": oem_text(rng),
        "cr.txt": cr_text(rng),
        "code.c": c_source(rng),
        "query.sql": sql_source(rng),
        "script.py": python_source(rng),
        "mix.txt": bench_mix(rng),
    }
    files["code_utf8.c"] = files["code.c"] + "/* \u00e9t\u00e9 */ int \u20ac;\n".encode("utf-8")
    files["odd.pp"] = ODD_DEFINITIONS.encode("latin-1")
    odd = odd_source(rng)
    for n in range(1, 6):
        files["odd.o%d" % n] = odd
    for name, data in files.items():
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
