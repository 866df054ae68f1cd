#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Greeklish as varied as people type it, for the reader's speed: the Greek
# of the held-out real-typing sentences, the evaluation sample and the
# fiction treebank (data/greek-everyday/ud-greek-gud-fiction.txt), written
# in Latin letters by `bivano latin` with a different choice of letters or
# scheme from line to line (3, ks or j for ξ; 8, th or u for θ; c or ps for
# ψ; w or v for ω; ELOT 743), a third of the lines in small letters and a
# few in capitals.
#   bench/varied_greeklish.sh BIVANO OUT SIZE [--new-sentences]
# writes SIZE bytes to OUT. The text repeats its sentences, each time typed
# otherwise; with --new-sentences no sentence comes twice: each line joins
# the start of one sentence to the end of another, at random (always the
# same, for the same sources).
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")/.." && pwd)
bivano=$1
out=$2
size=$3
new_sentences=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The Greek, one sentence a line; the treebank's tokens joined as written
# ("σπίτι ," -> "σπίτι,", "σ το" -> "στο").
{
    grep -hv '^#' "$here"/bench/real_typing/held-out/*.tsv | cut -f2
    cat "$here/bench/accents_sample.txt"
    sed -E 's/ ([,.;:!?»)])/\1/g; s/([«(]) /\1/g; s/(^| )(σ|Σ) (τ)/\1\2\3/g' \
        "$here/data/greek-everyday/ud-greek-gud-fiction.txt"
} | grep -v '^$' > "$work/base.txt"

# Enough Greek lines for SIZE bytes of Latin: the base again and again, or
# new sentences spliced from it.
greek_bytes=$((size * 2 + 100000))
if [[ $new_sentences == --new-sentences ]]; then
    awk -v want="$greek_bytes" '
        { line[NR] = $0 }
        END {
            srand(22)
            made = 0
            while (made < want) {
                a = line[int(rand() * NR) + 1]; b = line[int(rand() * NR) + 1]
                na = split(a, first, " "); nb = split(b, second, " ")
                if (na < 2 || nb < 2) continue
                cut_a = int(rand() * (na - 1)) + 1; cut_b = int(rand() * (nb - 1)) + 1
                sentence = first[1]
                for (i = 2; i <= cut_a; ++i) sentence = sentence " " first[i]
                for (i = cut_b + 1; i <= nb; ++i) sentence = sentence " " second[i]
                if (sentence in seen) continue
                seen[sentence] = 1
                print sentence
                made += length(sentence) + 1
            }
        }' "$work/base.txt" > "$work/greek.txt"
else
    while [[ $(stat -c %s "$work/greek.txt" 2>/dev/null || echo 0) -lt $greek_bytes ]]; do
        cat "$work/base.txt" >> "$work/greek.txt"
    done
fi

# The same lines in each way of typing, then line by line one of them.
choices=("" "-x ks -t th -p ps" "-x j -t u -w v" "-x ks -t 8 -p ps -w v" "-x 3 -t th -w v"
    "-s elot743")
files=()
for k in "${!choices[@]}"; do
    # shellcheck disable=SC2086
    "$bivano" latin ${choices[$k]} < "$work/greek.txt" > "$work/latin$k.txt"
    files+=("$work/latin$k.txt")
done
unique=0
[[ $new_sentences == --new-sentences ]] && unique=1
awk -v ways="${#files[@]}" -v base_lines="$(wc -l < "$work/base.txt")" -v unique="$unique" '
    BEGIN {
        for (k = 0; k < ways; ++k) file[k] = ARGV[k + 1]
        ARGC = 1
        for (n = 0; ; ++n) {
            pass = int(n / base_lines)
            for (k = 0; k < ways; ++k) {
                if ((getline text[k] < file[k]) <= 0) exit
            }
            line = text[(n + pass) % ways]
            if ((n * 7 + pass) % 3 == 0) line = tolower(line)
            else if ((n * 13 + pass) % 29 == 0) line = toupper(line)
            if (unique) {
                if (line in seen) continue
                seen[line] = 1
            }
            print line
        }
    }' "${files[@]}" > "$work/latin.txt"
head -c "$size" "$work/latin.txt" > "$out"
