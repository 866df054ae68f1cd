#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program on a real X server with a real window manager (Xvfb and
# openbox), driven only from outside with the keyboard, the mouse and the
# clipboard, and checked by what a person would see: windows, their
# stacking, the clipboard and the files on disk.
#
#   desktop_test.sh PROGRAM [SCREENSHOT_FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
program=$1
shots=${2:-$(mktemp -d)}
mkdir -p "$shots"
rm -f "$shots"/*.png

require_tools Xvfb openbox fluxbox xdotool xclip xprop xwininfo wmctrl import iconv
work=$(mktemp -d)
trap 'stop_all; rm -rf "$work"' EXIT
start_desktop
unset QT_QPA_PLATFORM

latin_credit='Metatrapike apo Ellhnika me ton Lativo Bivano. www.example.org'
greek_credit='Μετατράπηκε από Lativo με τον Lativo Bivano. www.example.org'
tail=$'\r\n\r\n\r\n\r\n'

# Places in the main window's inner area: the menu bar's three entries and
# a place on the (disabled) source box.
menu_file=(26 8)
menu_options=(79 8)
menu_about=(134 8)
somewhere=(150 250)

# Opens Αρχείο and takes its Nth item (1 Άνοιγμα, 2 Κλείσιμο, 3 Αποθήκευση, 4 Έξοδος).
file_menu() {
    click_in "$main" "${menu_file[@]}"
    sleep 0.3
    for _ in $(seq "$1"); do keys Down; done
    keys Return
}

# Types a path into the open file dialog and accepts it.
file_dialog() {
    local dialog
    dialog=$(wait_window "$1")
    sleep 0.3
    xdotool windowactivate --sync "$dialog" > /dev/null 2>&1 || true
    [[ -n "${3:-}" ]] && shot "$3"
    keys ctrl+a
    xdotool type --delay 20 "$2"
    keys Return
    wait_until 10 is_gone "$1" || fail "the file dialog '$1' stayed open"
}

# Minimises window $1 up to $2 times with the window manager's own request
# (what its title-bar button, its keystroke or xdotool send), and stops
# early once $SECONDS reaches $4 when given; $3, when not empty, is a place
# of the main window to click before each try. Each time the window must be
# back within a second: WM_STATE Normal again after the window manager's
# change to Iconic, mapped, and one of the window manager's clients. The
# window must also be the active one by then. The counts add up in
# minimise_tries, _lost, _inactive, _untaken and _slowest (ms) until
# minimise_report.
minimise_round_trips() {
    local id=$1 count=$2 click=${3:-} until=${4:-}
    local spy="$work/wm-state-$id" try changes start took
    minimise_window=$id
    : > "$spy"
    xprop -spy -id "$id" WM_STATE > "$spy" 2> /dev/null &
    local spy_pid=$!
    wait_until 5 wm_state_is "$spy" 1 Normal || {
        kill "$spy_pid" 2> /dev/null || true
        fail "$manager: could not watch the WM_STATE of window $id"
        return 0
    }
    for ((try = 1; try <= count; try++)); do
        [[ -n "$until" ]] && ((SECONDS >= until)) && break
        [[ -n "$click" ]] && { click_in "$main" $click; sleep 0.2; }
        changes=$(wm_state_changes "$spy")
        start=$(now_ms)
        xdotool windowminimize "$id"
        minimise_tries=$((minimise_tries + 1))
        if wait_until_ms $((start + 1000)) wm_state_is "$spy" $((changes + 2)) Normal; then
            took=$(($(now_ms) - start))
            ((took <= minimise_slowest)) || minimise_slowest=$took
            if is_mapped_normal "$id"; then
                wait_until_ms $((start + 1000)) is_active "$id" || minimise_inactive=$((minimise_inactive + 1))
                continue
            fi
        elif ! wm_state_is "$spy" $((changes + 1)) ""; then
            minimise_untaken=$((minimise_untaken + 1))
            continue
        fi
        minimise_lost=$((minimise_lost + 1))
        shot "lost-$manager-$try"
        # Brought back from outside, so that the count goes on.
        xdotool windowmap "$id" 2> /dev/null || true
        wait_until 5 is_mapped_normal "$id" || true
    done
    kill "$spy_pid" 2> /dev/null || true
    wait "$spy_pid" 2> /dev/null || true
}
# The number of WM_STATE changes in the log $1 (from xprop -spy).
wm_state_changes() {
    local line count=0
    while IFS= read -r line; do
        [[ $line == *'window state:'* ]] && count=$((count + 1))
    done < "$1"
    echo "$count"
}
# Whether the log $1 holds at least $2 WM_STATE changes and the last one
# reads $3 (any state when $3 is empty).
wm_state_is() {
    local line count=0 last=""
    while IFS= read -r line; do
        [[ $line == *'window state:'* ]] && { count=$((count + 1)) && last=$line; }
    done < "$1"
    ((count >= $2)) && [[ $last == *"$3" ]]
}
minimise_report() {
    echo "   $manager, $1: $minimise_tries minimised, $minimise_lost not back within 1 s," \
        "$minimise_inactive back but not active, $minimise_untaken never minimised," \
        "slowest back in $minimise_slowest ms"
    # A window manager may refuse to minimise a window that asks for no
    # minimise button, when it says so in the actions it allows.
    if ((minimise_untaken > 0)) && xprop -id "$minimise_window" _NET_WM_ALLOWED_ACTIONS |
        grep -q _NET_WM_ACTION_MOVE && ! xprop -id "$minimise_window" _NET_WM_ALLOWED_ACTIONS |
        grep -q _NET_WM_ACTION_MINIMIZE; then
        echo "   ($manager refuses to minimise the window, as its allowed actions say)"
    else
        ((minimise_untaken == 0)) || fail "$manager, $1: $minimise_untaken minimise requests were never carried out"
    fi
    ((minimise_lost == 0)) || fail "$manager, $1: $minimise_lost of $minimise_tries minimised windows did not come back within 1 s"
    ((minimise_inactive == 0)) || fail "$manager, $1: $minimise_inactive of $minimise_tries windows came back but not active"
    minimise_tries=0 minimise_lost=0 minimise_inactive=0 minimise_untaken=0 minimise_slowest=0
}
minimise_tries=0 minimise_lost=0 minimise_inactive=0 minimise_untaken=0 minimise_slowest=0
is_active() { [[ $(($(active_window))) == $(($1)) ]]; }

# The About window and the options dialog, minimised over and over under
# window manager $1 on a display of their own, come back each time, and the
# keyboard works afterwards.
minimise_checks() {
    manager=$1
    local tries=${E2E_MINIMISE_TRIES:-20} pid="" starts=0
    step "minimised windows come back under $manager"
    start_desktop "$manager"
    # During the countdown, which lasts five seconds at least: the tries
    # that fit into four, over as many starts as needed.
    while ((minimise_tries < tries && starts < tries)); do
        starts=$((starts + 1))
        [[ -z "$pid" ]] || stop_pid "$pid"
        "$program" > "$work/program-$manager.log" 2>&1 &
        pid=$!
        e2e_pids+=("$pid")
        about=$(wait_window "Πληροφορίες")
        main=$(wait_window "Lativo Bivano Ver 3.3")
        minimise_round_trips "$about" $((tries - minimise_tries)) "" $((SECONDS + 4))
    done
    minimise_report "About during the countdown"
    # Left as the restore left it, with no help from outside: Enter presses
    # OK once it is there.
    sleep 6.5
    keys Return
    wait_until 10 is_gone "Πληροφορίες" || fail "$manager: Enter did not press OK after the minimised countdown"
    set_clipboard "marker"
    keys space Tab Tab Tab space # Lativo, which has the focus after start-up; Αντιγραφή
    expect_clipboard "$tail$latin_credit" "$manager: the keyboard did not reach Lativo after the minimised countdown"

    click_in "$main" "${menu_options[@]}"
    options=$(wait_window "Επιλογές")
    wait_until 5 is_active "$options" || fail "$manager: the options dialog did not become active"
    keys Tab # to θ
    minimise_round_trips "$options" "$tries"
    minimise_report "options dialog"
    keys Down Tab Tab Tab Tab Tab Return # θ: U; past ψ, ω, Ελληνικά and Πρότυπο to OK
    wait_until 10 is_gone "Επιλογές" || fail "$manager: OK did not close the minimised options dialog"
    set_clipboard "θεός"
    keys shift+Tab space shift+Tab shift+Tab space Tab Tab Tab space # paste, Lativo, copy
    expect_clipboard "ueos$tail$latin_credit" "$manager: the focus in the options dialog was lost on the way (θ: U not chosen)"

    set_clipboard "marker"
    click_in "$main" "${menu_about[@]}"
    about=$(wait_window "Πληροφορίες")
    minimise_round_trips "$about" "$tries" "${somewhere[*]}"
    minimise_report "About from Σχετικά after a click on the main window"
    keys Return
    wait_until 10 is_gone "Πληροφορίες" || fail "$manager: Enter did not close the minimised About window"
    keys space # Αντιγραφή has the focus again
    expect_clipboard "ueos$tail$latin_credit" "$manager: the focus did not come back to Αντιγραφή after the minimised About window"
    shot "minimised-$manager"

    stop_pid "$pid"
    stop_desktop
}

step "start-up: the countdown"
"$program" > "$work/program.log" 2>&1 &
program_pid=$!
e2e_pids+=("$program_pid")
about=$(wait_window "Πληροφορίες")
main=$(wait_window "Lativo Bivano Ver 3.3")
shot countdown
xdotool windowactivate --sync "$about" > /dev/null 2>&1 || true
keys Return
sleep 0.5
is_visible "Πληροφορίες" || fail "Enter closed the About window during the countdown"

step "the disabled main window during the countdown"
click_in "$main" "${somewhere[@]}"
sleep 0.5
stacked_above "$about" "$main" || fail "a click on the main window raised it over the About window"
wmctrl -i -c "$main"
sleep 0.5
kill -0 "$program_pid" 2> /dev/null || fail "the close button of the disabled main window ended the program"
is_visible "Lativo Bivano Ver 3.3" || fail "the main window went away"
shot countdown-after-clicks

step "OK by Enter once the countdown ends"
for _ in $(seq 100); do
    xdotool windowactivate --sync "$about" > /dev/null 2>&1 || true
    keys Return
    sleep 0.3
    is_gone "Πληροφορίες" && break
done
is_gone "Πληροφορίες" || fail "Enter never pressed OK"
shot main-window

step "the focus is on Lativo; Tab follows the design's order; Enter presses buttons"
keys space                 # Lativo on the empty source
keys Tab Tab Tab Return    # Ελληνικά, Επικόλληση, Αντιγραφή
expect_clipboard "$tail$latin_credit" "Space after start-up did not press Lativo, or Tab did not reach Αντιγραφή"

step "paste from the clipboard, Lativo, copy back"
set_clipboard $'Καλημέρα κόσμε\nθάλασσα ψυχή ξένος ώρα'
keys shift+Tab space               # Επικόλληση
keys shift+Tab shift+Tab space     # Lativo
keys Tab Tab Tab space             # Αντιγραφή
expect_clipboard $'Kalhmera kosme\r\n8alassa cyxh 3enos wra'"$tail$latin_credit" "Lativo of the pasted text"
shot lativo

step "the options dialog by keyboard: TH and PS"
set_clipboard "marker"
click_in "$main" "${menu_options[@]}"
options=$(wait_window "Επιλογές")
sleep 0.3
click_in "$main" "${somewhere[@]}"
sleep 0.5
stacked_above "$options" "$main" || fail "a click on the main window raised it over the options dialog"
[[ $(active_window) == "$options" ]] || fail "activating the main window did not bring the options dialog back"
shot options-after-click
xdotool windowactivate --sync "$options" > /dev/null 2>&1 || true
keys Tab Down Down Tab Down Tab Tab Tab Tab Return   # θ: TH; ψ: PS; past ω, Ελληνικά and Πρότυπο to OK
wait_until 10 is_gone "Επιλογές" || fail "OK did not close the options dialog"
keys space                          # the focus is back on Αντιγραφή
expect_clipboard $'Kalhmera kosme\r\n8alassa cyxh 3enos wra'"$tail$latin_credit" "the focus did not come back to Αντιγραφή after the options"
keys shift+Tab shift+Tab shift+Tab space Tab Tab Tab space
expect_clipboard $'Kalhmera kosme\r\nthalassa psyxh 3enos wra'"$tail$latin_credit" "Lativo did not use TH and PS"

step "Cancel restores; minimising the dialog brings it back"
click_in "$main" "${menu_options[@]}"
options=$(wait_window "Επιλογές")
xdotool windowminimize "$options"
sleep 1
wait_until 10 is_visible "Επιλογές" || fail "the minimised options dialog did not come back"
is_iconic "$main" && fail "the main window stayed minimised"
shot options-back
wmctrl -i -c "$main"
sleep 0.5
kill -0 "$program_pid" 2> /dev/null || fail "the close button of the main window ended the program while the options dialog was up"
xdotool windowactivate --sync "$options" > /dev/null 2>&1 || true
keys Tab Up Up Tab Up                        # θ: 8; ψ: C
keys Tab Tab Tab Tab Tab Return              # ω, Ελληνικά, Πρότυπο, OK, Cancel
wait_until 10 is_gone "Επιλογές" || fail "Cancel did not close the options dialog"
keys shift+Tab shift+Tab shift+Tab space Tab Tab Tab space
expect_clipboard $'Kalhmera kosme\r\nthalassa psyxh 3enos wra'"$tail$latin_credit" "Cancel did not restore TH and PS"

step "About from Σχετικά, and the focus back"
set_clipboard "marker"
click_in "$main" "${menu_about[@]}"
about=$(wait_window "Πληροφορίες")
shot about-again
xdotool windowactivate --sync "$about" > /dev/null 2>&1 || true
keys Return
wait_until 10 is_gone "Πληροφορίες" || fail "Enter did not close the About window"
keys space
expect_clipboard $'Kalhmera kosme\r\nthalassa psyxh 3enos wra'"$tail$latin_credit" "the focus did not come back after About"

step "Ελληνικά and Save in Windows-1253"
set_clipboard $'Kalimera ti kaneis?\nthalassa *e-mail*'
keys shift+Tab                        # Επικόλληση
keys space shift+Tab space            # paste, Ελληνικά
greek_result=$'Καλιμερα τι κανεις?\r\nθαλασσα e-mail'"$tail$greek_credit"
keys Tab Tab space
expect_clipboard "$greek_result" "Ελληνικά of the pasted text"
file_menu 3
file_dialog "Αποθήκευση ως" "$work/greek" save-dialog
wait_until 10 test -s "$work/greek.TXT" || fail "Save wrote no greek.TXT"
printf '%s\r\n' "$greek_result" | iconv -f utf-8 -t cp1253 > "$work/expected-1253"
cmp "$work/greek.TXT" "$work/expected-1253" || fail "the saved Windows-1253 bytes differ"
shot saved-1253

step "Save in UTF-8 when Windows-1253 cannot hold the text"
set_clipboard $'Привет kai geia'
keys shift+Tab space shift+Tab space   # paste, Ελληνικά
keys Tab Tab space
expect_clipboard $'Привет και γεια'"$tail$greek_credit" "Ελληνικά with Cyrillic"
file_menu 3
file_dialog "Αποθήκευση ως" "$work/mixed.txt"
wait_until 10 test -s "$work/mixed.txt" || fail "Save wrote no mixed.txt"
printf '%s\r\n' $'Привет και γεια'"$tail$greek_credit" | cmp - "$work/mixed.txt" || fail "the saved UTF-8 bytes differ"

step "Open in Windows-1253 and in UTF-8"
printf 'ψυχή\r\nθάλασσα' | iconv -f utf-8 -t cp1253 > "$work/old.txt"
file_menu 1
file_dialog "Άνοιγμα" "$work/old.txt"
keys shift+Tab shift+Tab shift+Tab space Tab Tab Tab space   # Lativo, Αντιγραφή
expect_clipboard $'psyxh\r\nthalassa'"$tail$latin_credit" "Open of a Windows-1253 file"
printf 'ξένος' > "$work/new.txt"
file_menu 1
file_dialog "Άνοιγμα" "$work/new.txt"
keys shift+Tab shift+Tab shift+Tab space Tab Tab Tab space
expect_clipboard "3enos$tail$latin_credit" "Open of a UTF-8 file"
shot opened

step "Έξοδος ends the program cleanly"
file_menu 4
status=0
wait_until 20 sh -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end"
wait "$program_pid" || status=$?
[[ $status == 0 ]] || fail "the program ended with status $status"

for manager in ${E2E_MANAGERS:-openbox fluxbox}; do
    minimise_checks "$manager"
done
[[ $failures == 0 ]] || { echo "FAILED: $failures checks"; exit 1; }
echo "PASS: the desktop test"
