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
# this one, and checks that both write the same. Best of five; prints MB/s
# (start included) and the least processor time taken.
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

timed() {  # one run: its wall time and the processor time it took, in seconds
    local took
    TIMEFORMAT='%R %U %S'
    took=$( { time "$@" > /dev/null; } 2>&1)
    echo "$took" | awk '{ printf "%s %.3f\n", $1, $2 + $3 }'
}
rate() { echo "$1 / $2 / 1000000" | bc -l | xargs printf '%.1f'; }
less() { (($(echo "$1 < $2" | bc -l))); }

# Best of five for wall time (the figure that counts) and, apart, for
# processor time, which a busy machine disturbs less.
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
for text in greek-on-us english-on-greek greek-sentences english-sentences; do
    size=$(stat -c %s "$work/$text.10")
    for command in layout auto; do
        if [[ -n $against ]] &&
            ! cmp -s <("$bivano" "$command" < "$work/$text.10") <("$against" "$command" < "$work/$text.10"); then
            echo "$command $text: the two builds write different text" >&2
            exit 1
        fi
        best=99 best_cpu=99 other=99 other_cpu=99
        for _ in 1 2 3 4 5; do
            read -r wall cpu < <(timed "$bivano" "$command" < "$work/$text.10")
            less "$wall" "$best" && best=$wall
            less "$cpu" "$best_cpu" && best_cpu=$cpu
            if [[ -n $against ]]; then
                read -r wall cpu < <(timed "$against" "$command" < "$work/$text.10")
                less "$wall" "$other" && other=$wall
                less "$cpu" "$other_cpu" && other_cpu=$cpu
            fi
        done
        line=$(printf 'bivano %-6s %-17s %4.1f MB: %6s MB/s (processor %5.3f s)' "$command" "$text" \
            "$(echo "$size / 1000000" | bc -l)" "$(rate "$size" "$best")" "$best_cpu")
        if [[ -n $against ]]; then
            line+=$(printf ';  against: %6s MB/s (%5.3f s)' "$(rate "$size" "$other")" "$other_cpu")
        fi
        echo "$line"
    done
done
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
