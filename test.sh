#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test: the native ones, then the web page,
# module and package over the native build. BIVANO_WERROR=ON treats warnings
# as errors; BIVANO_I386=OFF leaves out the 32-bit build of the model's
# tests, BIVANO_WEB=OFF the web.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBIVANO_WERROR="${BIVANO_WERROR:-OFF}" -DBIVANO_BUILD_TESTS=ON -DBIVANO_BUILD_BENCH=ON >/dev/null
cmake --build build --parallel "$(nproc)"
(cd build && ctest --output-on-failure --parallel "$(nproc)")
# The model the native build made, read by an i386 build of the core.
if [[ "${BIVANO_I386:-ON}" != OFF ]]; then
    bash scripts/i386-tests.sh || [[ $? == 77 ]]
fi
if [[ "${BIVANO_WEB:-ON}" != OFF ]]; then
    bash scripts/web-tests.sh
fi
