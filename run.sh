#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the program in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --parallel "$(nproc)" --target lativo-bivano
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display to show the window on: start it from a desktop, or on a virtual one with: xvfb-run -a ./run.sh" >&2
    exit 1
fi
exec ./build/lativo-bivano "$@"
