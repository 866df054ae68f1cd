#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Speed and memory of `bivano` on about 10 MB of Greek text and of the same
# text in Latin letters, UTF-8 in and out, against ICU's uconv in the same run;
# then "greek --accents" (the reader with its model) on the same Latin text,
# and on 10 MB of varied technical sentences when given as a second argument
# (Latin letters, one sentence a line).
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
run_accents() { "$bivano" greek --accents < "$work/latin10.txt"; }
run_accents_varied() { "$bivano" greek --accents < "$work/varied10.txt"; }
run_start() { "$bivano" greek --accents < /dev/null; }
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

# The reader: 10 MB including start-up, start-up alone, peak memory.
took=$(seconds run_accents)
echo "bivano greek --accents: $(printf '%.3f' "$took") s, $(echo "$size_mb / $took" | bc -l | xargs printf '%.0f') MB/s"
if [[ -n "${2:-}" ]]; then
    while [[ $(stat -c %s "$work/varied10.txt" 2>/dev/null || echo 0) -lt 10000000 ]]; do
        cat "$2" >> "$work/varied10.txt"
    done
    truncate -s 10000000 "$work/varied10.txt"
    took=$(seconds run_accents_varied)
    echo "bivano greek --accents, varied text: $(printf '%.3f' "$took") s, $(echo "$size_mb / $took" | bc -l | xargs printf '%.0f') MB/s"
fi
echo "bivano greek --accents, empty input (start-up): $(printf '%.3f' "$(seconds run_start)") s"
peak=$(/usr/bin/time -f '%M' "$bivano" greek --accents < "$work/latin10.txt" 2>&1 > /dev/null | tail -n 1)
echo "bivano greek --accents, 10 MB: peak resident $((peak / 1024)) MB"
