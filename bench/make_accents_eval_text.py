#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Greek sentences for the spelling evaluation, one a line, from the
half of LibreOffice's Greek help pages that the frequency table never saw
(scripts/make_greek_frequencies.py holds them out by the same rule).

    apt-get download libreoffice-help-el && dpkg-deb -x libreoffice-help-el_*.deb lo
    bench/make_accents_eval_text.py lo [LIMIT] > sentences.txt
"""
import glob
import html
import re
import sys
import unicodedata
import zlib

GREEK_WORD = re.compile(r"[\u0386-\u03ce]+")


# Tags inside a sentence (links, emphasis, code, names) go without a trace;
# the others end it, as do scripts and styles.
INLINE_TAG = re.compile(r"</?(a|span|strong|em|b|i|u|code|tt|kbd|var|samp|acronym|abbr|sub|"
                        r"sup|img|label|font|small|big|q|cite|dfn|gui|guiseq|key|keyseq|app|"
                        r"cmd|file|sys|link|input|output)\b[^>]*>", re.IGNORECASE)
SCRIPT = re.compile(r"<(script|style)\b.*?</\1>", re.IGNORECASE | re.DOTALL)


def page_text(page):
    return re.sub(r"<[^>]*>", "\n", INLINE_TAG.sub("", SCRIPT.sub("\n", page)))

def main():
    folder = sys.argv[1]
    limit = int(sys.argv[2]) if len(sys.argv) > 2 else 5000
    seen = set()
    out = []
    for path in sorted(glob.glob(f"{folder}/**/*.html", recursive=True)):
        if zlib.crc32(path.rsplit("/", 1)[-1].encode()) % 2 != 1:
            continue
        with open(path, encoding="utf-8", errors="ignore") as f:
            text = page_text(f.read())
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
