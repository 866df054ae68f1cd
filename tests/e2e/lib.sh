# SPDX-License-Identifier: GPL-3.0-or-later
# Helpers for driving the program on a real X server with a real window
# manager, from outside, as a person would. Sourced by the end-to-end tests.
# Every process is started here on a display of its own and stopped by the
# process id started, never by name.

e2e_pids=()
clip_pid=""

# With E2E_KEEP_GOING=1 (to see every fault of a build at once) a failed
# check is counted and the run goes on; the end reports the count.
failures=0
fail() {
    echo "FAIL: $*" >&2
    [[ -n "${shots:-}" ]] && shot "failure" || true
    if [[ "${E2E_KEEP_GOING:-0}" == 1 ]]; then
        failures=$((failures + 1))
        return 0
    fi
    exit 1
}

step() { printf '== %s\n' "$*"; }

# Missing tools fail the run in CI and skip it elsewhere.
require_tools() {
    local missing=()
    for tool in "$@"; do
        command -v "$tool" > /dev/null || missing+=("$tool")
    done
    if [[ ${#missing[@]} -gt 0 ]]; then
        if [[ "${CI:-}" == true ]]; then
            echo "FAIL: missing tools in CI: ${missing[*]}" >&2
            exit 1
        fi
        echo "SKIP: not installed: ${missing[*]}"
        exit 77
    fi
}

stop_all() {
    [[ -n "$clip_pid" ]] && kill "$clip_pid" 2> /dev/null || true
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        kill "${e2e_pids[i]}" 2> /dev/null || true
    done
    for pid in "${e2e_pids[@]}"; do
        wait "$pid" 2> /dev/null || true
    done
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_until() {
    local timeout=$1
    shift
    local deadline=$((SECONDS + timeout))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# A virtual screen of its own, with openbox managing it.
start_desktop() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$display_file" 2> /dev/null &
    e2e_pids+=($!)
    wait_until 20 test -s "$display_file" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
    openbox --sm-disable > /dev/null 2>&1 &
    e2e_pids+=($!)
    wait_until 20 window_manager_ready || fail "openbox did not start"
}

window_manager_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }

window_id() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1; }
is_visible() { [[ -n "$(window_id "$1")" ]]; }
is_gone() { [[ -z "$(window_id "$1")" ]]; }

wait_window() {
    wait_until "${2:-20}" is_visible "$1" || fail "no window '$1' appeared"
    window_id "$1"
}

active_window() { xdotool getactivewindow 2> /dev/null || echo 0; }

# Whether window $1 stands above window $2 in the window manager's stacking.
stacked_above() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
    local position=0 upper=-1 lower=-1
    for id in $order; do
        [[ $((id)) == $(($1)) ]] && upper=$position
        [[ $((id)) == $(($2)) ]] && lower=$position
        position=$((position + 1))
    done
    ((upper > lower && lower >= 0))
}

is_iconic() { xprop -id "$1" WM_STATE 2> /dev/null | grep -q Iconic; }

# The clipboard, read and written by xclip as another program would.
set_clipboard() {
    [[ -n "$clip_pid" ]] && kill "$clip_pid" 2> /dev/null || true
    printf '%s' "$1" > "$work/clip-in"
    xclip -selection clipboard -i -quiet "$work/clip-in" > /dev/null 2>&1 &
    clip_pid=$!
    wait_until 10 clipboard_is "$1" || fail "could not set the clipboard"
}
clipboard_is() {
    xclip -selection clipboard -o > "$work/clip-out" 2> /dev/null || return 1
    printf '%s' "$1" | cmp -s - "$work/clip-out"
}
# Copy puts LF line breaks on the clipboard, as Linux programs expect, where
# the result box holds CR LF: $1 is the box's text.
expect_clipboard() {
    wait_until 10 clipboard_is "${1//$'\r\n'/$'\n'}" || {
        echo "clipboard holds:" >&2
        od -c "$work/clip-out" | head -20 >&2
        fail "$2"
    }
}

keys() { xdotool key --delay 60 "$@"; }

# Clicks at a place of the main window's inner area (relative to its client
# window, which the window manager's frame does not move).
click_in() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

shot() {
    shot_count=$((${shot_count:-0} + 1))
    import -window root "$shots/$(printf '%02d' "$shot_count")-$1.png" 2> /dev/null || true
}
