#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Speed of `bivano layout` and `bivano auto` on about 10 MB of text typed all
# in the wrong layout, each way, and on the same texts typed right:
#   Greek typed on the US layout: bench/accents_sample.txt and the Greek of
#     bench/real_typing/held-out/*.tsv (or the sentences of --greek FILE,
#     such as bench/make_accents_eval_text.py writes), by the keys the Greek
#     layout wants, accents through the dead key;
#   English typed on the Greek layout: the sentences of the manual pages
#     Debian installs (bench/make_layout_eval_english.py), or --english FILE.
# Each text is taken again and again up to 10 MB, cut at a line's end.
#   bench/layout_bench.sh [--against BIVANO] [--greek FILE] [--english FILE] [build folder]
# --against times another build's bivano on the same texts, alternately with
# this one, and checks that both write the same. Best of five; prints MB/s.
set -euo pipefail
export LC_ALL=C.UTF-8
here=$(cd "$(dirname "$0")" && pwd)
against=""
greek_source=""
english_source=""
while [[ $# -gt 0 && $1 == --* ]]; do
    case $1 in
        --against) against=$(realpath "$2") ;;
        --greek) greek_source=$(realpath "$2") ;;
        --english) english_source=$(realpath "$2") ;;
        *) echo "layout_bench.sh: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
build=$(cd "${1:-$here/../build}" && pwd)
bivano=$build/bivano
typer=$build/bench/layout_eval
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -n $greek_source ]]; then
    cp "$greek_source" "$work/greek-sentences.txt"
else
    { cat "$here/accents_sample.txt"; grep -hv '^#' "$here"/real_typing/held-out/*.tsv | cut -f2; } \
        > "$work/greek-sentences.txt"
fi
if [[ -n $english_source ]]; then
    cp "$english_source" "$work/english-sentences.txt"
else
    python3 "$here/make_layout_eval_english.py" 100000 > "$work/english-sentences.txt" 2> /dev/null
fi

# The source again and again up to 10 MB, without a line cut short.
ten_mb() {
    local source=$1 target=$2
    : > "$target"
    while [[ $(stat -c %s "$target") -lt 10000000 ]]; do cat "$source" >> "$target"; done
    head -c 10000000 "$target" | sed '$d' > "$target.cut"
    mv "$target.cut" "$target"
}
"$typer" --type us < "$work/greek-sentences.txt" > "$work/greek-on-us.txt"
"$typer" --type greek < "$work/english-sentences.txt" > "$work/english-on-greek.txt"
for text in greek-on-us english-on-greek greek-sentences english-sentences; do
    ten_mb "$work/$text.txt" "$work/$text.10"
done

seconds() {  # one run's wall time
    local took
    TIMEFORMAT=%R
    took=$( { time "$@" > /dev/null; } 2>&1)
    echo "$took"
}
rate() { echo "$1 / $2 / 1000000" | bc -l | xargs printf '%.1f'; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
for text in greek-on-us english-on-greek greek-sentences english-sentences; do
    size=$(stat -c %s "$work/$text.10")
    for command in layout auto; do
        if [[ -n $against ]] &&
            ! cmp -s <("$bivano" "$command" < "$work/$text.10") <("$against" "$command" < "$work/$text.10"); then
            echo "$command $text: the two builds write different text" >&2
            exit 1
        fi
        best="" other=""
        for _ in 1 2 3 4 5; do
            took=$(seconds "$bivano" "$command" < "$work/$text.10")
            if [[ -z $best ]] || (($(echo "$took < $best" | bc -l))); then best=$took; fi
            if [[ -n $against ]]; then
                took=$(seconds "$against" "$command" < "$work/$text.10")
                if [[ -z $other ]] || (($(echo "$took < $other" | bc -l))); then other=$took; fi
            fi
        done
        line=$(printf 'bivano %-6s %-16s %5.1f MB: %6s MB/s' "$command" "$text" \
            "$(echo "$size / 1000000" | bc -l)" "$(rate "$size" "$best")")
        [[ -n $against ]] && line+=$(printf ';  against: %6s MB/s' "$(rate "$size" "$other")")
        echo "$line"
    done
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
