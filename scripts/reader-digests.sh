#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The reader's output on the evaluation texts, as one SHA-256 a text and
# way of reading, so that a change meant to keep every output can show that
# it did: compared with tests/data/reader-digests.txt by the tests, written
# anew by --update when a change is meant to alter what the reader writes.
#   scripts/reader-digests.sh BIVANO [--update]
set -euo pipefail
export LC_ALL=C.UTF-8
here=$(cd "$(dirname "$0")/.." && pwd)
bivano=$1
expected=$here/tests/data/reader-digests.txt
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

typed() { grep -hv '^#' "$@" | cut -f1; }
meant() { grep -hv '^#' "$@" | cut -f2; }
unaccented() { sed 'y/άέήίόύώΆΈΉΊΌΎΏϊϋΐΰ/αεηιουωΑΕΗΙΟΥΩιυιυ/'; }

typed "$here"/bench/real_typing/*.tsv > "$work/tuning.txt"
typed "$here"/bench/real_typing/held-out/*.tsv > "$work/held-out.txt"
meant "$here"/bench/real_typing/*.tsv "$here"/bench/real_typing/held-out/*.tsv > "$work/meant.txt"
cat "$here/bench/accents_sample.txt" "$here/bench/greek_paragraph.txt" "$work/meant.txt" > "$work/greek.txt"
unaccented < "$work/greek.txt" > "$work/greek-plain.txt"
"$bivano" latin < "$work/greek.txt" > "$work/latin-default.txt"
"$bivano" latin -x ks -t th -p ps -w v < "$work/greek.txt" > "$work/latin-other.txt"
"$bivano" latin -s elot743 < "$work/greek.txt" > "$work/latin-elot.txt"

{
    for text in tuning held-out latin-default latin-other latin-elot; do
        echo "$("$bivano" greek --accents < "$work/$text.txt" | sha256sum | cut -c1-64) greek --accents $text"
        echo "$("$bivano" greek --accents --chat < "$work/$text.txt" | sha256sum | cut -c1-64) greek --accents --chat $text"
    done
    echo "$("$bivano" accents < "$work/greek-plain.txt" | sha256sum | cut -c1-64) accents greek-plain"
    echo "$("$bivano" greek < "$work/tuning.txt" | sha256sum | cut -c1-64) greek tuning"
    for text in tuning latin-other greek; do
        echo "$("$bivano" auto < "$work/$text.txt" | sha256sum | cut -c1-64) auto $text"
        echo "$("$bivano" layout < "$work/$text.txt" | sha256sum | cut -c1-64) layout $text"
    done
} > "$work/digests.txt"

if [[ ${2:-} == --update ]]; then
    cp "$work/digests.txt" "$expected"
    exit 0
fi
diff -u "$expected" "$work/digests.txt"
