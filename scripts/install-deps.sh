#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing and running need.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    # build
    cmake make g++ pkg-config
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # the windows
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    # "Arial" in the layouts resolves to Liberation Sans
    fonts-liberation2 fontconfig
    # the Greek word list behind "Με τόνους και ορθογραφία"
    hunspell-el
    # the end-to-end tests and screenshots: a virtual display, a real window
    # manager, keyboard, mouse and clipboard driven from outside, screenshots
    xvfb xauth x11-utils xdotool openbox xclip wmctrl imagemagick
    # the Debian package: manual pages, and the checks CI runs on it
    scdoc gzip man-db dpkg-dev lintian appstream desktop-file-utils
)
if [[ "${BIVANO_FUZZ_DEPS:-0}" == 1 ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
