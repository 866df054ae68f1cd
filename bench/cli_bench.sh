#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Speed and memory of `bivano`, in MB/s including start-up and peak resident
# memory, best of five runs:
#   - the plain conversions on about 10 MB of Greek text and of the same
#     text in Latin letters, UTF-8 in and out, against ICU's uconv in the
#     same run, and their peak memory for 2 GB through a pipe;
#   - the reader ("greek --accents", and with --chat) on 10 MB of varied
#     Greeklish and on 10 MB whose sentences never repeat
#     (bench/varied_greeklish.sh), its start-up on empty input, its peak
#     memory, and the size of its model.
#   bench/cli_bench.sh [--reader] [BUILD...]      (default: build)
# --reader measures the reader only. With several build folders the reader
# is measured for each on the same texts, their runs taking turns, so that
# the figures of a change before and after come from the same run (the load
# of the machine, printed first, weighs on all alike). Needs icu-devtools
# for uconv.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
reader_only=false
if [[ ${1:-} == --reader ]]; then
    reader_only=true
    shift
fi
builds=("$@")
[[ ${#builds[@]} -gt 0 ]] || builds=("$here/../build")
bivanos=()
for build in "${builds[@]}"; do
    bivanos+=("$(cd "$build" && pwd)/bivano")
done
bivano=${bivanos[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=10000000
size_mb=10

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) processors"

# Seconds: the best of five runs of the command given.
seconds() {
    local best="" took
    TIMEFORMAT=%R
    for _ in 1 2 3 4 5; do
        took=$( { time "$@" > /dev/null; } 2>&1)
        if [[ -z "$best" ]] || (($(echo "$took < $best" | bc -l))); then best=$took; fi
    done
    echo "$best"
}
rate() { echo "$size_mb / $1" | bc -l | xargs printf '%.1f'; }
peak_mb() {  # peak resident memory of the command given, reading file $1
    local input=$1
    shift
    echo $(($(/usr/bin/time -f '%M' "$@" < "$input" 2>&1 > /dev/null | tail -n 1) / 1024))
}

if ! $reader_only; then
    # Running Greek text: the paragraph again and again, cut at 10 MB; the
    # same in Latin letters (with KS, TH and PS), cut at 10 MB too.
    while [[ $(stat -c %s "$work/greek.txt" 2>/dev/null || echo 0) -lt 20000000 ]]; do
        cat "$here/greek_paragraph.txt" "$here/greek_paragraph.txt" >> "$work/greek.txt"
        cat "$work/greek.txt" "$work/greek.txt" > "$work/double.txt"
        mv "$work/double.txt" "$work/greek.txt"
    done
    "$bivano" latin -t th -p ps -x ks < "$work/greek.txt" > "$work/latin.txt"
    head -c $size "$work/latin.txt" > "$work/latin10.txt"
    head -c $size "$work/greek.txt" > "$work/greek10.txt"

    run_latin() { "$bivano" latin < "$work/greek10.txt"; }
    run_greek() { "$bivano" greek < "$work/latin10.txt"; }
    uconv_latin() { uconv -f utf-8 -t utf-8 -x Greek-Latin < "$work/greek10.txt"; }
    uconv_greek() { uconv -f utf-8 -t utf-8 -x Latin-Greek < "$work/latin10.txt"; }
    for direction in latin greek; do
        ours=$(seconds "run_$direction")
        line="bivano $direction: $(printf '%.3f' "$ours") s, $(rate "$ours") MB/s"
        if command -v uconv > /dev/null; then
            theirs=$(seconds "uconv_$direction")
            line+="; uconv: $(printf '%.2f' "$theirs") s, $(rate "$theirs") MB/s"
            line+="; ratio $(echo "$theirs / $ours" | bc -l | xargs printf '%.0f')x"
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
fi

# The reader.
"$here/varied_greeklish.sh" "$bivano" "$work/varied.txt" $size
"$here/varied_greeklish.sh" "$bivano" "$work/new.txt" $size --new-sentences
texts=(varied new)
declare -A described=([varied]="varied Greeklish" [new]="sentences never repeated")
for index in "${!bivanos[@]}"; do
    model=$(dirname "${bivanos[$index]}")/share/bivano/greek.model
    if [[ -f $model ]]; then
        echo "reader [${builds[$index]}]: model $(stat -L -c %s "$model" | xargs printf '%d') bytes," \
            "$(gzip -c "$model" | wc -c | xargs printf '%d') gzip'ed"
        # Every model read afresh, by the program: the page cache then holds
        # each alike (in huge pages where the kernel gives them), rather than
        # as whatever wrote or last read it left it (a model copied with cp
        # sits in small pages and costs its build some 9 ms a start).
        dd if="$model" iflag=nocache count=0 status=none
        "${bivanos[$index]}" greek --accents < /dev/null > /dev/null
    fi
done
# Each measure for each build, the runs of the builds taking turns: the
# best of five.
once() {  # seconds of one run of the command given
    TIMEFORMAT=%R
    { time "$@" > /dev/null; } 2>&1
}
reader() { "$1" greek --accents "${@:3}" < "$2"; }
for measure in "${texts[@]}" chat start; do
    best=()
    for _ in 1 2 3 4 5; do
        for index in "${!bivanos[@]}"; do
            program=${bivanos[$index]}
            case $measure in
                chat) took=$(once reader "$program" "$work/varied.txt" --chat) ;;
                start) took=$(once reader "$program" /dev/null) ;;
                *) took=$(once reader "$program" "$work/$measure.txt") ;;
            esac
            if [[ -z "${best[$index]:-}" ]] || (($(echo "$took < ${best[$index]}" | bc -l))); then
                best[index]=$took
            fi
        done
    done
    for index in "${!bivanos[@]}"; do
        took=${best[$index]}
        name="reader [${builds[$index]}]"
        case $measure in
            chat) echo "$name --chat, varied Greeklish: $(rate "$took") MB/s ($took s)" ;;
            start) echo "$name start-up on empty input: $took s" ;;
            *) echo "$name ${described[$measure]}: $(rate "$took") MB/s ($took s)" ;;
        esac
    done
done
for text in "${texts[@]}"; do
    for index in "${!bivanos[@]}"; do
        echo "reader [${builds[$index]}] peak resident memory, ${described[$text]}:" \
            "$(peak_mb "$work/$text.txt" "${bivanos[$index]}" greek --accents) MB"
    done
done
