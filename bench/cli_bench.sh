#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Speed and memory of `bivano` on about 10 MB of Greek text and of the same
# text in Latin letters, UTF-8 in and out, against ICU's uconv in the same run.
#   bench/cli_bench.sh [build folder]      (default: build)
# Needs icu-devtools for uconv; prints MB/s and peak resident memory.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bivano=$(cd "${1:-$here/../build}" && pwd)/bivano
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Running Greek text: the paragraph again and again, cut at 10 MB; the same
# in Latin letters (with KS, TH and PS), cut at 10 MB too.
while [[ $(stat -c %s "$work/greek.txt" 2>/dev/null || echo 0) -lt 20000000 ]]; do
    cat "$here/greek_paragraph.txt" "$here/greek_paragraph.txt" >> "$work/greek.txt"
    cat "$work/greek.txt" "$work/greek.txt" > "$work/double.txt" && mv "$work/double.txt" "$work/greek.txt"
done
"$bivano" latin -t th -p ps -x ks < "$work/greek.txt" > "$work/latin.txt"
head -c 10000000 "$work/latin.txt" > "$work/latin10.txt"
head -c 10000000 "$work/greek.txt" > "$work/greek10.txt"

seconds() {  # best of five, of the command given
    local best="" took
    TIMEFORMAT=%R
    for _ in 1 2 3 4 5; do
        took=$( { time "$@" > /dev/null; } 2>&1)
        if [[ -z "$best" ]] || (($(echo "$took < $best" | bc -l))); then best=$took; fi
    done
    echo "$best"
}
run_latin() { "$bivano" latin < "$work/greek10.txt"; }
run_greek() { "$bivano" greek < "$work/latin10.txt"; }
uconv_latin() { uconv -f utf-8 -t utf-8 -x Greek-Latin < "$work/greek10.txt"; }
uconv_greek() { uconv -f utf-8 -t utf-8 -x Latin-Greek < "$work/latin10.txt"; }

size_mb=10
for direction in latin greek; do
    ours=$(seconds "run_$direction")
    line="bivano $direction: $(printf '%.3f' "$ours") s, $(echo "$size_mb / $ours" | bc -l | xargs printf '%.0f') MB/s"
    if command -v uconv > /dev/null; then
        theirs=$(seconds "uconv_$direction")
        line+="; uconv: $(printf '%.2f' "$theirs") s, $(echo "$size_mb / $theirs" | bc -l | xargs printf '%.1f') MB/s; ratio $(echo "$theirs / $ours" | bc -l | xargs printf '%.0f')x"
    fi
    echo "$line"
done

# Peak memory for 2 GB through a pipe.
for direction in latin greek; do
    source_file=$work/greek10.txt
    [[ $direction == greek ]] && source_file=$work/latin10.txt
    peak=$( (for _ in $(seq 200); do cat "$source_file"; done) |
        /usr/bin/time -f '%M' "$bivano" "$direction" 2>&1 > /dev/null | tail -n 1)
    echo "bivano $direction, 2 GB through a pipe: peak resident $((peak / 1024)) MB"
done
