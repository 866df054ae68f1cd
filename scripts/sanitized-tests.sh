#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer
# (Debug, in build-sanitize) and runs them, the real-X ones included.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DBIVANO_SANITIZE=ON \
    -DBIVANO_WERROR="${BIVANO_WERROR:-OFF}" -DBIVANO_BUILD_TESTS=ON -DBIVANO_BUILD_BENCH=OFF > /dev/null
cmake --build build-sanitize --parallel "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)"
