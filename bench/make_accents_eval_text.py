#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Greek sentences for the spelling evaluation, one a line, from Greek
text that the frequency table never saw:

    bench/make_accents_eval_text.py FOLDER [LIMIT] > sentences.txt
        the half of the .html help pages in FOLDER (LibreOffice's, GIMP's)
        that scripts/make_greek_frequencies.py holds out, by the same rule;
    bench/make_accents_eval_text.py --packages FOLDER [LIMIT] > sentences.txt
        every Greek catalogue (.mo) and help page (.page, .html) in FOLDER,
        for the packages that scripts/fetch-greek-sources.sh holds out.

For example:
    apt-get download libreoffice-help-el && dpkg-deb -x libreoffice-help-el_*.deb lo
    bench/make_accents_eval_text.py lo 3000 > sentences.txt
"""
import glob
import html
import os
import re
import sys
import unicodedata

GREEK_WORD = re.compile(r"[\u0386-\u03ce]+")


def counting_script():
    """The frequency script, for its readers of pages and catalogues."""
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
    import make_greek_frequencies  # pylint: disable=import-outside-toplevel
    return make_greek_frequencies


def held_out_pages(folder, counting):
    for path in sorted(glob.glob(f"{folder}/**/*.html", recursive=True)):
        if counting.held_out(path):
            yield from counting.html_strings(path)


def whole_packages(folder, counting):
    for path in sorted(glob.glob(f"{folder}/**/*", recursive=True)):
        if "/el/" not in path and "/el_GR/" not in path:
            continue
        if path.endswith(".mo"):
            # Menu accelerators (_Άνοιγμα) are no part of the words.
            yield from (text.replace("_", "") for text in counting.mo_strings(path))
        elif path.endswith((".page", ".html")):
            yield from counting.html_strings(path)


def main():
    arguments = sys.argv[1:]
    packages = arguments[:1] == ["--packages"]
    if packages:
        arguments = arguments[1:]
    folder = arguments[0]
    limit = int(arguments[1]) if len(arguments) > 1 else 5000
    counting = counting_script()
    texts = whole_packages(folder, counting) if packages else held_out_pages(folder, counting)
    seen = set()
    out = []
    for text in texts:
        text = unicodedata.normalize("NFC", html.unescape(text))
        for sentence in re.split(r"(?<=[.;!])\s+|\n", text):
            sentence = " ".join(sentence.split())
            words = GREEK_WORD.findall(sentence)
            if len(words) >= 5 and len(sentence) < 300 and sentence not in seen:
                seen.add(sentence)
                out.append(sentence)
    for sentence in out[:limit]:
        print(sentence)
    print(f"{min(len(out), limit)} of {len(out)} sentences", file=sys.stderr)


if __name__ == "__main__":
    main()
