#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs; safe to run again, as it only
# calls apt-get when something is missing.
#   scripts/install-deps.sh run       building and running the programs
#   scripts/install-deps.sh test      the above, and the tests and benchmarks
#   scripts/install-deps.sh package   the above, and making and checking the packages
#   scripts/install-deps.sh web       the above test task, and the web build and its tests
set -euo pipefail
task=${1:-test}

run_packages=(
    # build
    cmake make g++ pkg-config
    # Qt: the windows and their translations
    qt6-base-dev qt6-base-dev-tools qt6-l10n-tools qt6-tools-dev qt6-qpa-plugins libgl-dev
    # the command line's message catalogues
    gettext
    # "Arial" in the layouts resolves to Liberation Sans
    fonts-liberation2 fontconfig
    # the Greek and English word lists the reader's model is made from
    hunspell-el wamerican
)
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev python3
    # messages under a Greek locale, the system's own included
    locales libc-l10n
    # the end-to-end tests and screenshots: a virtual display, real window
    # managers (openbox and fluxbox), keyboard, mouse and clipboard driven
    # from outside, screenshots
    xvfb xauth x11-utils xdotool openbox fluxbox xclip wmctrl imagemagick
    # the manual pages, which the build makes when it can
    scdoc
)
package_packages=(
    # manual pages, the packages and the checks CI runs on them
    scdoc gzip man-db dpkg-dev debhelper lintian appstream desktop-file-utils fakeroot
)

web_packages=(
    # the core in WebAssembly, and GoogleTest's sources to build its tests so
    emscripten libgtest-dev gzip
    # the parser that leaves the comments out of the page's scripts
    node-acorn
    # the module's tests, the package's and the page's, in a real browser
    nodejs chromium python3 node-typescript
)

# The model's tests built for i386 (scripts/i386-tests.sh), run under
# qemu where the kernel runs no i386 programs itself.
if [[ $(dpkg --print-architecture) == amd64 ]]; then
    test_packages+=(g++-multilib qemu-user)
fi

packages=("${run_packages[@]}")
case "$task" in
    run) ;;
    test) packages+=("${test_packages[@]}") ;;
    package) packages+=("${test_packages[@]}" "${package_packages[@]}") ;;
    web)
        packages+=("${test_packages[@]}" "${web_packages[@]}")
        # npm comes with node when node is not Debian's (NodeSource's
        # package has it); Debian's npm would then conflict with it.
        command -v npm > /dev/null || packages+=(npm)
        ;;
    *) echo "usage: $0 run|test|package|web" >&2; exit 2 ;;
esac
if [[ "${BIVANO_FUZZ_DEPS:-0}" == 1 ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
as_root() {
    if [[ ${#sudo_cmd[@]} -gt 0 ]] && ! command -v sudo > /dev/null; then
        echo "Need root or sudo to: $*" >&2
        exit 1
    fi
    "${sudo_cmd[@]}" "$@"
}

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests run the programs under a Greek locale.
if [[ "$task" != run ]] && ! locale -a 2>/dev/null | grep -qi '^el_GR\.utf-\?8$'; then
    as_root localedef -i el_GR -f UTF-8 el_GR.UTF-8
fi
