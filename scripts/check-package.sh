#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the two Debian packages from a configured build folder (CPack),
# checks them with Debian's validators and lintian, installs bivano alone and
# checks that it needs no Qt library, then the window beside it, runs
# both from PATH (the window on a virtual display of its own), removes them;
# last, builds the Debian source package with dpkg-buildpackage and runs
# lintian on it. Needs root (for apt-get).
#   scripts/check-package.sh [build folder]        (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/install-deps.sh package
# Configured before the packaging tools came (scdoc for the manual pages)?
# Looked for again now.
cmake "$build" > /dev/null

step() { printf '== %s\n' "$*"; }
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }
lint() { lintian --allow-root --fail-on error,warning --suppress-tags binary-has-unneeded-section "$@"; }

step "building the packages"
rm -f "$build"/bivano_*.deb "$build"/lativo-bivano_*.deb
cmake --build "$build" --target package > "$build/package.log" || { cat "$build/package.log"; fail "cpack"; }
cli_deb=$(ls "$build"/bivano_*_*.deb)
gui_deb=$(ls "$build"/lativo-bivano_*_*.deb)
echo "$cli_deb $gui_deb"

step "validators"
appstreamcli validate --no-net "$build/desktop/org.example.LativoBivano.metainfo.xml"
desktop-file-validate "$build/desktop/org.example.LativoBivano.desktop"
while IFS= read -r page; do
    warnings=$(MANWIDTH=80 LANG=C.UTF-8 man --warnings -l "$page" 2>&1 > /dev/null)
    [[ -z "$warnings" ]] || fail "man warns about $page: $warnings"
done < <(find "$build/desktop/man" -name '*.1.gz')
bash -n desktop/completion/bivano
lint "$cli_deb" "$gui_deb"

step "bivano needs no display, nor Qt"
depends=$(dpkg-deb -f "$cli_deb" Depends)
echo "bivano depends on: $depends"
if grep -Eq 'libqt6|qpa|fonts-' <<< "$depends"; then
    fail "bivano depends on Qt"
fi
contents=$(dpkg-deb -c "$cli_deb")
grep -q ' ./usr/share/bivano/greek.model$' <<< "$contents" || fail "bivano lacks the reader's model"
grep -q ' ./usr/share/locale/el/LC_MESSAGES/bivano.mo$' <<< "$contents" ||
    fail "bivano lacks its Greek messages"
dpkg-deb -f "$gui_deb" Depends | grep -q 'bivano (= ' || fail "lativo-bivano does not depend on bivano"

installed=()
xvfb_pid=""
program_pid=""
cleanup() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2> /dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2> /dev/null || true
    if [[ ${#installed[@]} -gt 0 ]]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq "${installed[@]}" > /dev/null || true
    fi
    [[ -n "${source_work:-}" ]] && rm -rf "$source_work"
}
trap cleanup EXIT

step "installing bivano alone with apt"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$cli_deb" > /dev/null
installed=(bivano)
[[ $(command -v bivano) == /usr/bin/bivano ]] || fail "bivano is not on PATH from /usr/bin"
[[ ! -e /usr/bin/lativo-bivano ]] || fail "bivano brought the window along"
if ldd /usr/bin/bivano | grep -Eq 'libQt6|libX|libxcb|libGL'; then
    fail "bivano links Qt or a GUI library: $(ldd /usr/bin/bivano)"
fi
bivano --version
got=$(printf 'θάλασσα ψυχή' | bivano latin -t th)
[[ $got == "thalassa cyxh" ]] || fail "bivano latin gave '$got'"
got=$(printf 'Pws eisai?' | bivano greek)
[[ $got == "Πως εισαι?" ]] || fail "bivano greek gave '$got'"
# The reader with the model the package installed, whatever word lists the
# machine has.
got=$(printf 'Pws eisai?' | bivano greek --accents 2>&1)
[[ $got == "Πώς είσαι;" ]] || fail "bivano greek --accents gave '$got'"
got=$(printf 'Θεσσαλονίκη' | bivano latin --scheme elot743)
[[ $got == "Thessaloniki" ]] || fail "bivano latin --scheme elot743 gave '$got'"
# The whole help, not through head: a reader that stops early ends the
# writer by SIGPIPE, as it ends cat, which pipefail would count as a failure.
got=$(LANG=el_GR.UTF-8 bivano --help)
got=${got%%$'\n'*}
[[ $got == Χρήση:* ]] || fail "the installed bivano does not speak Greek under el_GR: '$got'"
man -w bivano > /dev/null || fail "man bivano not found"
[[ $(man -L el -w bivano) == */el/* ]] || fail "the Greek page of bivano is not found"
# shellcheck disable=SC1091
got=$(bash -c 'source /usr/share/bash-completion/completions/bivano
    COMP_WORDS=(bivano latin --scheme e); COMP_CWORD=3; _bivano; echo "${COMPREPLY[*]}"')
[[ $got == "elot743" ]] || fail "bash completion of --scheme gave '$got'"

step "installing lativo-bivano beside it"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$gui_deb" > /dev/null
installed=(lativo-bivano bivano)
[[ $(command -v lativo-bivano) == /usr/bin/lativo-bivano ]] || fail "lativo-bivano is not on PATH"
lativo-bivano --help | grep -q lativo-bivano || fail "lativo-bivano --help"

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
DISPLAY="$display" timeout 20 xdotool search --sync --onlyvisible --classname "lativo-bivano" > /dev/null ||
    fail "no window of the class the desktop entry names (StartupWMClass) appeared"
echo "window shown on $display"
kill "$program_pid"
wait "$program_pid" 2> /dev/null || true
program_pid=""
kill "$xvfb_pid"
xvfb_pid=""

step "removing"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq lativo-bivano bivano > /dev/null
installed=()
[[ ! -e /usr/bin/bivano && ! -e /usr/bin/lativo-bivano ]] || fail "the programs are still installed"

step "the Debian source package: dpkg-buildpackage -us -uc"
source_work=$(mktemp -d)
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
tree=$source_work/lativo-bivano-$version
mkdir -p "$tree"
git ls-files -co --exclude-standard | grep -v '^build' | while IFS= read -r file; do
    if [[ -e $file ]]; then printf '%s\n' "$file"; fi
done | tar -cf - -T - | tar -xf - -C "$tree"
(cd "$tree" && dpkg-buildpackage -us -uc > "$source_work/build.log" 2>&1) ||
    { tail -n 40 "$source_work/build.log"; fail "dpkg-buildpackage"; }
ls "$source_work"/*.deb "$source_work"/*.dsc
lint --pedantic "$source_work"/lativo-bivano_"$version"_*.changes
echo "package checks passed"
