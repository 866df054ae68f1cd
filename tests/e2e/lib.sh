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

# Stops process $1, by force when it does not end within two seconds (a
# window manager may hang on to a display that is going away).
stop_pid() {
    kill "$1" 2> /dev/null || return 0
    for _ in $(seq 20); do
        kill -0 "$1" 2> /dev/null || break
        sleep 0.1
    done
    kill -9 "$1" 2> /dev/null || true
    wait "$1" 2> /dev/null || true
}

stop_all() {
    [[ -n "$clip_pid" ]] && kill "$clip_pid" 2> /dev/null || true
    for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do
        stop_pid "${e2e_pids[i]}"
    done
}

# Milliseconds of the wall clock.
now_ms() {
    local now=${EPOCHREALTIME/[.,]/}
    echo $((now / 1000))
}

# Waits until the millisecond clock reaches $1 for the command that follows
# to succeed.
wait_until_ms() {
    local deadline=$1
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.02
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

# A virtual screen of its own, with window manager $1 (openbox unless
# named) managing it. The window manager keeps its settings in a home of
# its own under $work.
start_desktop() {
    local manager=${1:-openbox}
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$display_file" 2> /dev/null &
    desktop_server=$!
    e2e_pids+=($!)
    wait_until 20 test -s "$display_file" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
    mkdir -p "$work/home-$manager"
    # Once more if it gave up at once on a busy machine; what it said goes
    # into the failure.
    for _ in 1 2; do
        start_window_manager "$manager"
        wait_until 20 window_manager_ready && return
        stop_pid "$desktop_manager"
    done
    tail -n 20 "$work/$manager.log" >&2
    fail "$manager did not start"
}

# Starts window manager $1 on $DISPLAY, its output in $work/$1.log.
start_window_manager() {
    local manager=$1
    case "$manager" in
        openbox) HOME="$work/home-$manager" openbox --sm-disable > "$work/$manager.log" 2>&1 & ;;
        fluxbox)
            # No wallpaper: its setter would put up a message window.
            mkdir -p "$work/home-$manager/.fluxbox"
            echo 'background: none' > "$work/home-$manager/.fluxbox/overlay"
            HOME="$work/home-$manager" fluxbox > "$work/$manager.log" 2>&1 &
            ;;
        # Others to try by hand (E2E_MANAGERS); the test tools do not install them.
        icewm) HOME="$work/home-$manager" icewm > "$work/$manager.log" 2>&1 & ;;
        metacity) HOME="$work/home-$manager" GSETTINGS_BACKEND=memory metacity > "$work/$manager.log" 2>&1 & ;;
        *) fail "no way to start the window manager $manager" ;;
    esac
    desktop_manager=$!
    e2e_pids+=($!)
}

# Stops the window manager and X server that start_desktop started last.
stop_desktop() {
    stop_pid "$desktop_manager"
    stop_pid "$desktop_server"
    local pid left=()
    for pid in "${e2e_pids[@]}"; do
        [[ $pid == "$desktop_manager" || $pid == "$desktop_server" ]] || left+=("$pid")
    done
    e2e_pids=("${left[@]}")
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

# Whether window $1 is on screen as the window manager's normal client:
# mapped and viewable, WM_STATE Normal, and in the client list.
is_mapped_normal() {
    xwininfo -id "$1" 2> /dev/null | grep -q 'Map State: IsViewable' || return 1
    xprop -id "$1" WM_STATE 2> /dev/null | grep -q 'window state: Normal' || return 1
    local id
    for id in $(xprop -root _NET_CLIENT_LIST | sed 's/.*# //; s/,//g'); do
        [[ $((id)) == $(($1)) ]] && return 0
    done
    return 1
}

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
