#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured build folder, checks it with
# Debian's validators and lintian, installs it with apt, runs both programs
# from PATH (the window on a virtual display of its own), and removes it.
# Needs root (for apt-get).
#   scripts/check-package.sh [build folder]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh package

step() { printf '== %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

step "building the package"
rm -f "$build"/lativo-bivano_*.deb
cmake --build "$build" --target package > "$build/package.log" || { cat "$build/package.log"; fail "cpack"; }
deb=$(ls "$build"/lativo-bivano_*_*.deb)
echo "$deb"

step "validators"
appstreamcli validate --no-net "$build/desktop/org.example.LativoBivano.metainfo.xml"
desktop-file-validate "$build/desktop/org.example.LativoBivano.desktop"
for page in "$build"/desktop/man/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
    [[ -z "$warnings" ]] || fail "man warns about $page: $warnings"
done
lintian --allow-root --fail-on error,warning --suppress-tags binary-has-unneeded-section "$deb"

installed=0
xvfb_pid=""
program_pid=""
cleanup() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2> /dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2> /dev/null || true
    if [[ $installed == 1 ]]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq lativo-bivano > /dev/null || true
    fi
}
trap cleanup EXIT

step "installing with apt"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" > /dev/null
installed=1
[[ $(command -v bivano) == /usr/bin/bivano ]] || fail "bivano is not on PATH from /usr/bin"
[[ $(command -v lativo-bivano) == /usr/bin/lativo-bivano ]] || fail "lativo-bivano is not on PATH"

step "bivano from PATH"
bivano --version
got=$(printf 'θάλασσα ψυχή' | bivano latin -t th)
[[ $got == "thalassa cyxh" ]] || fail "bivano latin gave '$got'"
got=$(printf 'Pws eisai?' | bivano greek)
[[ $got == "Πως εισαι?" ]] || fail "bivano greek gave '$got'"
man -w bivano > /dev/null || fail "man bivano not found"

step "lativo-bivano on a virtual display"
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$display_file" 2> /dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $display_file ]] && break; sleep 0.1; done
display=:$(head -n 1 "$display_file")
rm -f "$display_file"
[[ $display != ":" ]] || fail "Xvfb did not start"
env -u QT_QPA_PLATFORM DISPLAY="$display" lativo-bivano &
program_pid=$!
DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --name "Lativo Bivano" > /dev/null ||
    fail "the window did not appear"
echo "window shown on $display"
kill "$program_pid"
wait "$program_pid" 2> /dev/null || true
program_pid=""

step "removing"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq lativo-bivano > /dev/null
installed=0
[[ ! -e /usr/bin/bivano && ! -e /usr/bin/lativo-bivano ]] || fail "the programs are still installed"
echo "package checks passed"
