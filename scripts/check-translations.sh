#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every message of bivano has its translation: lupdate reads the sources
# afresh, and the catalogue must come out with nothing new, gone or
# unfinished. Exit 77 (skipped) without lupdate.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[[ -x $lupdate ]] || { echo "lupdate is missing (package qt6-l10n-tools)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for catalogue in cli/translations/bivano_??.ts; do
    cp "$catalogue" "$work/check.ts"
    "$lupdate" -locations none cli -ts "$work/check.ts" > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
    if grep -q 'type="\(unfinished\|vanished\|obsolete\)"' "$work/check.ts"; then
        echo "$catalogue does not match the messages in cli/ (run: lupdate -locations none cli -ts $catalogue):"
        grep -B2 'type="' "$work/check.ts"
        status=1
    fi
done
[[ $status -eq 0 ]] && echo "translations complete"
exit $status
