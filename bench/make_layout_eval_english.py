#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes English sentences for the layout evaluation, one a line, from the
manual pages that Debian installs (sections 1, 5 and 8):

    bench/make_layout_eval_english.py [LIMIT] [FOLDER...] > english.txt

Only the plain words of a page are kept: requests, fonts and escapes of
roff are dropped, and a sentence needs five words or more, all of ASCII.
The sentences come in the order of the pages' names, each once.
"""
import glob
import gzip
import re
import sys

ESCAPE = re.compile(r"\\(f\[[A-Z]*\]|f\(..|f.|\(..|\[[^\]]*\]|s[-+]?\d|[-e&|^ 0%c])")
WORD = re.compile(r"[A-Za-z]+")


def page_lines(path):
    try:
        with gzip.open(path, "rt", encoding="utf-8", errors="strict") as page:
            text = page.read()
    except (OSError, UnicodeDecodeError, EOFError):
        return
    for line in text.splitlines():
        if line.startswith((".", "'", '\\"')):
            continue
        yield ESCAPE.sub(lambda m: "-" if m.group(1) == "-" else "", line)


def sentences(folders):
    for folder in folders:
        for path in sorted(glob.glob(f"{folder}/*.gz")):
            paragraph = " ".join(page_lines(path))
            for sentence in re.split(r"(?<=[.!?])\s+", paragraph):
                sentence = " ".join(sentence.split())
                if (sentence.isascii() and 5 <= len(WORD.findall(sentence)) <= 40
                        and "\\" not in sentence and len(sentence) < 300):
                    yield sentence


def main():
    limit = int(sys.argv[1]) if len(sys.argv) > 1 else 10000
    folders = sys.argv[2:] or [f"/usr/share/man/man{n}" for n in (1, 5, 8)]
    seen = set()
    out = []
    for sentence in sentences(folders):
        if sentence not in seen:
            seen.add(sentence)
            out.append(sentence)
            if len(out) == limit:
                break
    for sentence in out:
        print(sentence)
    print(f"{len(out)} sentences", file=sys.stderr)


if __name__ == "__main__":
    main()
