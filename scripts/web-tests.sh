#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the web page, the module and the npm package with Debian's
# emscripten in build-web/ and runs their tests: the core's tests in
# WebAssembly under node, the module against the native bivano, the
# package installed from its tarball, the page in headless Chromium.
# Needs the native build in build/ first (./test.sh), for bivano and the
# reader's model. Screenshots of the page go to build/web-shots/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh web
if [[ ! -x build/bivano || ! -f build/share/bivano/greek.model ]]; then
    echo "The native build is missing: run ./test.sh (or build bivano and greek_model in build/) first." >&2
    exit 1
fi
# emscripten's tools find acorn in Debian's node modules, which a node
# other than Debian's does not look in by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S web -B build-web -DCMAKE_BUILD_TYPE=Release -DBIVANO_WERROR="${BIVANO_WERROR:-OFF}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" > /dev/null
cmake --build build-web --parallel "$(nproc)"
(cd web && npm ci --no-audit --no-fund)
cd build-web
ctest --output-on-failure --parallel "$(nproc)"
