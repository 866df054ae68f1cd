#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program on a virtual display, as a person would: waits for
# the About window's countdown, presses OK, converts a typed word, and ends
# the program through Αρχείο > Έξοδος. Skipped where Xvfb or xdotool is missing.
#
#   smoke_test.sh PROGRAM [SCREENSHOT_FOLDER]
set -euo pipefail
program=$1
shots=${2:-}

if [[ -z "${BIVANO_SMOKE_INNER:-}" ]]; then
    if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
        echo "SKIP: xvfb-run or xdotool is not installed"
        exit 77
    fi
    export BIVANO_SMOKE_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

fail() { echo "FAIL: $*"; kill "$pid" 2>/dev/null || true; exit 1; }
shot() { [[ -n "$shots" ]] && import -window root "$shots/$1.png" 2>/dev/null || true; }
find_window() {  # waits up to 10 s for a visible window whose title matches
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

unset QT_QPA_PLATFORM
"$program" &
pid=$!

about=$(find_window "Πληροφορίες") || fail "the About window did not appear"
main=$(find_window "Lativo Bivano Ver 3.3") || fail "the main window did not appear"
shot about-countdown

# During the countdown Enter does nothing.
xdotool windowfocus --sync "$about" key Return
sleep 0.5
xdotool search --onlyvisible --name "Πληροφορίες" >/dev/null || fail "Enter closed the About window during the countdown"

sleep 7
shot about-ok
xdotool windowfocus --sync "$about" key Return
for _ in $(seq 50); do
    xdotool search --onlyvisible --name "Πληροφορίες" >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name "Πληροφορίες" >/dev/null 2>&1 && fail "OK did not close the About window"

# Type into the source box (second tab stop after the buttons) and convert.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 100 150 click 1
xdotool type --delay 20 "kalimera"
xdotool mousemove --window "$main" 150 358 click 1   # the Ελληνικά button
sleep 0.5
shot main-window

# Επιλογές shows the options dialog; its OK hides it again.
xdotool mousemove --window "$main" 78 8 click 1
choice=$(find_window "Επιλογές") || fail "the options dialog did not appear"
sleep 0.5
shot options-dialog
xdotool mousemove --window "$choice" 40 256 click 1   # OK
for _ in $(seq 50); do
    xdotool search --onlyvisible --name "Επιλογές" >/dev/null 2>&1 || break
    sleep 0.1
done
xdotool search --onlyvisible --name "Επιλογές" >/dev/null 2>&1 && fail "OK did not close the options dialog"

# Αρχείο, then Up to its last item, Έξοδος, and Enter.
xdotool mousemove --window "$main" 20 8 click 1
sleep 0.5
xdotool key Up Return
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Έξοδος"
wait "$pid" || fail "the program ended with status $?"
echo "PASS: started, counted down, took OK, converted, set options and ended cleanly"
