#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the word counts behind the Greek reader: how often Greek words occur,
alone and in pairs, in Greek text that Debian's packages install.

    scripts/make_greek_frequencies.py OUT_FOLDER SOURCE...

writes three UTF-8 files of tab-separated lines to OUT_FOLDER (see
data/README.md): words.tsv ("word count"), pairs.tsv ("first second count")
and phrase-edges.tsv ("edge word count" or "word edge count"). The committed
files in data/greek-counts/ were made on a Debian 12 machine from its
installed translations, the help, language packs and data packages that
scripts/fetch-greek-sources.sh names, and the Greek catalogues of every other
package that has them (about 1,100 packages), unpacked without installing:
    scripts/fetch-greek-sources.sh /tmp/greek
    scripts/make_greek_frequencies.py data/greek-counts /usr/share/locale/el \\
        /tmp/greek/x_* /tmp/greek/mo
A file met twice (installed and unpacked) is read once.
What is read below each SOURCE folder: .mo files (straight from their binary
format), .html help pages (tags dropped), the .ftl, .properties and .dtd
files inside Firefox's and Thunderbird's .xpi language packs, and gzipped
manual pages (troff requests dropped), and GNOME's .page help; tags inside
a sentence (links, emphasis) are dropped, the others end it. Half of the
help pages, by a hash of their names, are held out: the spelling evaluation
reads them (bench/make_accents_eval_text.py uses the same rule), and so do
the packages that scripts/fetch-greek-sources.sh holds out. Debian's installation
guide and debian-installer are never read: they are kept for evaluation.
Words are lower-cased and keep their accents. A word counts when it occurs at
least twice; a pair of words, Greek words with only blanks between them,
when it occurs at least three times. So does a word with the ending of the
word after it: "~" and its last two letters without accents (σ for ς), as
in "της ~ης"; and the ending of a word with one of the 300 commonest words
after it, as in "~να ή". They tell which words go together when the pair
itself was never seen. And what stands beside a phrase of Greek words (with
only blanks between them), in phrase-edges.tsv: "<a word" counts the word
first in its phrase after a Latin letter, "word a>" last in it before one;
"0" is a digit, "," a comma, "(" another mark, "." a sentence's start or
end. The article η seldom stands between two numbers or two Latin words; ή
often does. "<a *" and "* a>" count the phrases with each edge.

These counts are technical text. The everyday word frequencies of
data/greek-everyday/ are not counted here: bivano-make-model blends them in
when it makes the model (see data/greek-everyday/README.md), so that the
files above stay what this script counted."""
import collections
import glob
import hashlib
import gzip
import html
import os
import re
import struct
import sys
import unicodedata
import zipfile
import zlib

WORD = re.compile(r"[\u0386-\u03ce]+")  # Greek letters, with their accents
TOKEN = re.compile(r"[\u0386-\u03ce]+|[^\s\u0386-\u03ce]+")
SENTENCE_END = re.compile(r"[.;!?·:\n]+")
GREEK_CATALOGUE = re.compile(r"/el(_GR)?(\.UTF-8)?/|/el\.mo$")  # packages hold every language


# Tags inside a sentence (links, emphasis, code, names) go without a trace;
# the others end it, as do scripts and styles.
INLINE_TAG = re.compile(r"</?(a|span|strong|em|b|i|u|code|tt|kbd|var|samp|acronym|abbr|sub|"
                        r"sup|img|label|font|small|big|q|cite|dfn|gui|guiseq|key|keyseq|app|"
                        r"cmd|file|sys|link|input|output)\b[^>]*>", re.IGNORECASE)
SCRIPT = re.compile(r"<(script|style)\b.*?</\1>", re.IGNORECASE | re.DOTALL)


def page_text(page):
    return re.sub(r"<[^>]*>", "\n", INLINE_TAG.sub("", SCRIPT.sub("\n", page)))


def mo_strings(path):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 28:
        return
    magic = struct.unpack("<I", data[:4])[0]
    order = "<" if magic == 0x950412DE else ">"
    _, count, _, translations = struct.unpack(order + "4I", data[4:20])
    for index in range(count):
        length, offset = struct.unpack(order + "2I", data[translations + 8 * index:translations + 8 * index + 8])
        for text in data[offset:offset + length].split(b"\0"):
            yield text.decode("utf-8", errors="ignore")


def html_strings(path):
    with open(path, encoding="utf-8", errors="ignore") as f:
        yield html.unescape(page_text(f.read()))


def language_pack_strings(path):
    with zipfile.ZipFile(path) as pack:
        for name in pack.namelist():
            if name.endswith((".ftl", ".properties", ".dtd")):
                for line in pack.read(name).decode("utf-8", errors="ignore").splitlines():
                    # the text after "key =" or inside a DTD entity's quotes
                    yield re.sub(r"^[^=\"]*[=\"]", "", line) + "\n"


def manual_page_strings(path):
    with gzip.open(path, "rt", encoding="utf-8", errors="ignore") as f:
        for line in f:
            if not line.startswith(('.\\"', "'\\\"")):
                yield re.sub(r"\\f[BIRP]|\\\S|^\.\S+\s*", " ", line)


def held_out(path):
    """Half of the help pages, by name, are kept out of the counts."""
    return path.endswith(".html") and zlib.crc32(os.path.basename(path).encode()) % 2 == 1


def sources(folders):
    seen = set()  # a file installed and also unpacked is read once
    for folder in folders:
        for path in sorted(glob.glob(f"{folder}/**/*", recursive=True)):
            if "debian-installer" in path or "installation-guide" in path or held_out(path):
                continue
            if path.endswith(".mo"):
                reader = mo_strings if GREEK_CATALOGUE.search(path) else None
            elif path.endswith((".html", ".page")) and "/el/" in path:
                reader = html_strings
            elif path.endswith(".xpi"):
                reader = language_pack_strings
            elif "/man/" in path and path.endswith(".gz"):
                reader = manual_page_strings
            else:
                reader = None
            if reader is None or not os.path.isfile(path):
                continue
            with open(path, "rb") as f:
                digest = hashlib.sha1(f.read()).digest()
            if digest not in seen:
                seen.add(digest)
                yield path, reader(path)


def edge_class(character):
    """What stands beside a phrase: a Latin letter, a digit, a comma or
    another mark; a sentence's start or end is "."."""
    if character.isascii() and character.isalpha():
        return "a"
    if character.isdigit():
        return "0"
    return "," if character == "," else "("


def ending(word):
    plain = "".join(c for c in unicodedata.normalize("NFD", word) if not unicodedata.combining(c))
    return "~" + plain.replace("ς", "σ")[-2:]


def write_rows(path, rows):
    """Tab-separated lines, in UTF-8, in the order given."""
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        for row in rows:
            out.write("\t".join(str(part) for part in row) + "\n")


def main():
    out_folder, *folders = sys.argv[1:]
    words = collections.Counter()
    pairs = collections.Counter()
    small = set()  # words seen written in small letters
    capitalised = collections.Counter()  # words written with a capital first
    files = 0
    for path, texts in sources(folders):
        files += 1
        for text in texts:
            text = unicodedata.normalize("NFC", text)
            for sentence in SENTENCE_END.split(text):
                previous = None
                beside = "."  # what the next phrase has before it
                for token in TOKEN.findall(sentence):
                    word = token.lower()
                    if not WORD.fullmatch(token) or (len(word) < 2 and word not in "ηοήκ"):
                        if previous is not None:
                            pairs[(previous, edge_class(token[0]) + ">")] += 1
                        previous = None
                        beside = edge_class(token[-1])
                        continue
                    words[word] += 1
                    if token == word:
                        small.add(word)
                    elif token[1:] == word[1:]:
                        capitalised[token] += 1
                    if previous is not None:
                        pairs[(previous, word)] += 1
                        pairs[(previous, ending(word))] += 1
                        pairs[(ending(previous), word)] += 1
                    else:
                        pairs[("<" + beside, word)] += 1
                    previous = word
                if previous is not None:
                    pairs[(previous, ".>")] += 1
    word_rows = sorted(((w, c) for w, c in words.items() if c >= 2), key=lambda r: (-r[1], r[0]))
    # A word never written small, only with a capital first, is a name (a
    # place in a list of places, a translator): it is written so.
    names = {}
    for form, _ in capitalised.most_common():
        names.setdefault(form.lower(), form)
    word_rows = [(w if w in small or w not in names else names[w], c) for w, c in word_rows]
    known = {w.lower() for w, _ in word_rows}
    # The ending of a word before a word: for the commonest words only
    # (articles, conjunctions, pronouns), which it tells apart.
    common = {w.lower() for w, c in word_rows[:300]}
    edges = {"<" + kind for kind in ".,(0a"} | {kind + ">" for kind in ".,(0a"}
    pair_rows = sorted(((a, b, c) for (a, b), c in pairs.items()
                        if c >= 3 and ((a in known and (b in known or b.startswith("~"))) or
                                       (a.startswith("~") and b in common) or
                                       (a in edges and b in known) or (a in known and b in edges))),
                       key=lambda r: (-r[2], r[0], r[1]))
    # How many phrases had each kind of edge, with "*" for any word.
    for edge in sorted(edges):
        total = sum(c for (a, b), c in pairs.items() if edge in (a, b))
        pair_rows.append((edge, "*", total) if edge[0] == "<" else ("*", edge, total))
    def at_edge(row):
        return row[0] in edges or row[1] in edges

    write_rows(f"{out_folder}/words.tsv", word_rows)
    write_rows(f"{out_folder}/pairs.tsv", [row for row in pair_rows if not at_edge(row)])
    write_rows(f"{out_folder}/phrase-edges.tsv", [row for row in pair_rows if at_edge(row)])
    print(f"{files} files, {len(word_rows)} words, {len(pair_rows)} pairs, "
          f"{sum(words.values())} running words", file=sys.stderr)


if __name__ == "__main__":
    main()
